#pragma once

#include "records/FieldRecord.h"
#include "records/RecordList.h"

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
// Replaces the card's rows by rows (IDs only are stored; names come from the reference data).
void replaceExpenseRows(const AccountSet &set, qint32 cardId, const AllocFix::RecordList &rows);

// The rows as compact JSON, for the audit log.
QString toJson(const AllocFix::RecordList &rows);

} // namespace CardRecords
} // namespace FixedAssets
