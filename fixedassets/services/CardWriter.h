#pragma once

#include "records/FieldRecord.h"
#include "records/RecordList.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include <utility>

namespace FixedAssets {

class AccountSet;

// A card's records as the card services hand them to the component, read from and written to
// the account set.
namespace CardRecords {

// Raises UnknownCard when the account set has no card with this ID.
void requireCard(const AccountSet &set, qint32 cardId);
// "FA00012 数控车床 (FAlterID 1012)": how errors name a card.
QString describeCard(const AccountSet &set, qint32 cardId);

// The records as the component sees them, built in one place for every reader: a department
// (DeptRecords), an expense row with an empty "Detail" list to append its items to, and an item.
AllocFix::FieldRecord departmentRecord(qint32 departmentId, const QString &name, double rate);
AllocFix::FieldRecord expenseRowRecord(qint32 cardId, qint32 departmentId, qint32 accountId,
                                       const QString &accountNumber, const QString &accountName,
                                       double rate);
AllocFix::FieldRecord itemRecord(qint32 classId, const QString &className, qint32 itemId,
                                 const QString &itemName);

// DeptRecords: "FItemID", "FItemName", "FRate", in the card's order.
AllocFix::RecordList departments(const AccountSet &set, qint32 cardId);
// ExpenseRows with every field, their items in the account's class order; legacy rows have
// "FDeptID" 0.
AllocFix::RecordList expenseRows(const AccountSet &set, qint32 cardId);

// Many cards at once. cards is SQL that answers the cards' alter_id.
//
// Deletes the cards' rows and their items.
void deleteExpenseRows(const AccountSet &set, const QString &cards);
// A row by its IDs alone: as the account set stores it, and as a save compares and writes it.
struct RowIds {
    qint32 departmentId = 0;
    qint32 accountId = 0;
    double rate = 0.0;
    QList<std::pair<qint32, qint32>> items; // class, item; in the row's order
};
struct StoredRows {
    QHash<qint32, QList<RowIds>> cards; // by card, in the card's order; none for no rows
    // Cards whose rows or items are not at places 1, 2, 3...: written afresh, not compared.
    QSet<qint32> renumbered;
};
// The cards' rows, read in one pass.
StoredRows storedRows(const AccountSet &set, const QString &cards);

// The rows' IDs, in the rows' order.
QList<RowIds> rowIds(const AllocFix::RecordList &rows);

struct CardRows {
    qint32 cardId = 0;
    QList<RowIds> rows;
};
// Writes the rows of cards that have none, in bulk (IDs only are stored; names come from the
// reference data).
void insertExpenseRows(const AccountSet &set, const QList<CardRows> &cards);
// Gives the cards of cards (SQL, as above) exactly the rows of rows, writing only what differs:
// a row or an item keeps its place (card, row, item), is updated only where its values changed,
// deleted where the card no longer has the place and inserted where it is new. stored holds the
// cards' rows as storedRows read them in the same transaction.
void replaceExpenseRows(const AccountSet &set, const QString &cards, const StoredRows &stored,
                        const QList<CardRows> &rows);

// The rows as compact JSON, for the audit log:
// [{"account":660201,"dept":201,"items":[[2,201]],"rate":1},...]
QString toJson(const AllocFix::RecordList &rows);
QString toJson(const QList<RowIds> &rows);

// Builds the text of toJson a row and an item at a time, for rows read from the account set.
class RowsJson {
public:
    void addRow(qint32 departmentId, qint32 accountId, double rate);
    // An item of the row added last.
    void addItem(qint32 classId, qint32 itemId);
    // The text of the rows added since the last take.
    QString take();

private:
    void endRow();

    QString m_text;
    double m_rate = 0.0;
    bool m_inRow = false;
    bool m_firstItem = true;
};

} // namespace CardRecords
} // namespace FixedAssets
