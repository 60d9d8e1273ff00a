#pragma once

#include "contracts/CardCopyKeys.h"
#include "services/CardRecordBuilders.h"

#include <QHash>
#include <QSet>

#include <optional>

namespace FixedAssets {

class AccountSet;

// A card's records as the card services read them from the account set.
namespace CardReads {

// Raises UnknownCard when the account set has no card with this ID.
void requireCard(const AccountSet &set, qint32 cardId);
// "FA00012 数控车床": the card's asset number and name; nothing when there is no such card.
std::optional<QString> cardName(const AccountSet &set, qint32 cardId);
// "FA00012 数控车床 (FAlterID 1012)": how errors name a card.
QString describeCard(const AccountSet &set, qint32 cardId);

// DeptRecords: "FItemID", "FItemName", "FRate", in the card's order.
AllocFix::RecordList departments(const AccountSet &set, qint32 cardId);
// ExpenseRows with every field, their items in the account's class order; legacy rows have
// "FDeptID" 0.
AllocFix::RecordList expenseRows(const AccountSet &set, qint32 cardId);

// "FDate", "FAssetName", "FAssetNumber": what the wizard shows of a card beside its rows.
AllocFix::FieldRecord reference(const AccountSet &set, qint32 cardId);

// The records of the cards of the manual queue around a card of it, read at once for the calls
// that will ask for them one card at a time, by card. A card without any (or outside the queue)
// is not there: read it alone, which tells an empty answer from an unknown card.
struct QueueWindow {
    qint32 behind = 0; // places before the card
    qint32 ahead = 0;  // places after it
};
QHash<qint32, AllocFix::RecordList> queuedDepartments(const AccountSet &set, qint32 cardId,
                                                      const QueueWindow &window);
QHash<qint32, AllocFix::RecordList> queuedExpenseRows(const AccountSet &set, qint32 cardId,
                                                      const QueueWindow &window);
QHash<qint32, AllocFix::FieldRecord> queuedReferences(const AccountSet &set, qint32 cardId,
                                                      const QueueWindow &window);

// What the copy's search compares of each card of the list (GetCopyKeys), in two passes over
// the account set; a card it does not have is left out.
QHash<qint32, AllocFix::CardCopyKey> copyKeys(const AccountSet &set, const QList<qint32> &cards);

struct StoredRows {
    QHash<qint32, QList<CardRecordBuilders::RowIds>>
        cards; // by card, in the card's order; none for no rows
    // Cards whose rows or items are not at places 1, 2, 3...: written afresh, not compared.
    QSet<qint32> renumbered;
};
// The rows of many cards, read in one pass.
StoredRows storedRows(const AccountSet &set, const QList<qint32> &cards);

} // namespace CardReads
} // namespace FixedAssets
