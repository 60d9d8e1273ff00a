#pragma once

#include "records/FieldRecord.h"
#include "records/RecordList.h"

#include <QHash>
#include <QList>
#include <QString>

namespace FixedAssets {

class AccountSet;

// A card's records as the card services hand them to the component, read from and written to
// the account set.
namespace CardRecords {

// Raises UnknownCard when the account set has no card with this ID.
void requireCard(const AccountSet &set, qint32 cardId);
// "FA00012 数控车床 (FAlterID 1012)": how errors name a card.
QString describeCard(const AccountSet &set, qint32 cardId);

// DeptRecords: "FItemID", "FItemName", "FRate", in the card's order.
AllocFix::RecordList departments(const AccountSet &set, qint32 cardId);
// ExpenseRows with every field, their items in the account's class order; legacy rows have
// "FDeptID" 0.
AllocFix::RecordList expenseRows(const AccountSet &set, qint32 cardId);

// Many cards at once. cards is SQL that answers the cards' alter_id.
//
// Deletes the cards' rows and their items.
void deleteExpenseRows(const AccountSet &set, const QString &cards);
// The cards' rows in the form of toJson, by card; a card without rows has no entry.
QHash<qint32, QString> rowsJson(const AccountSet &set, const QString &cards);

struct CardRows {
    qint32 cardId = 0;
    AllocFix::RecordList rows;
};
// Writes the rows of cards that have none, in bulk (IDs only are stored; names come from the
// reference data).
void insertExpenseRows(const AccountSet &set, const QList<CardRows> &cards);

// The rows as compact JSON, for the audit log:
// [{"account":660201,"dept":201,"items":[[2,201]],"rate":1},...]
QString toJson(const AllocFix::RecordList &rows);

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
