#pragma once

#include <QString>

// Field names of the allocation records. They are the contract with the card services, so they
// are spelled exactly as the services spell them.
namespace AllocFix::Fields {
// CardRecord, ExpenseRow
inline const QString FAlterID = QStringLiteral("FAlterID");
// ExpenseRow
inline const QString FDeptID = QStringLiteral("FDeptID");
inline const QString FAcctID = QStringLiteral("FAcctID");
inline const QString FAcctNumber = QStringLiteral("FAcctNumber");
inline const QString FAcctName = QStringLiteral("FAcctName");
inline const QString Detail = QStringLiteral("_Detail");
// ExpenseRow, DeptRecord: a fraction of 1 (0.25 = 25 %)
inline const QString FRate = QStringLiteral("FRate");
// ItemRecord, DeptRecord
inline const QString FItemClassID = QStringLiteral("FItemClassID");
inline const QString FItemClassName = QStringLiteral("FItemClassName");
inline const QString FItemID = QStringLiteral("FItemID");
inline const QString FItemName = QStringLiteral("FItemName");
// The card service's answers
inline const QString Total = QStringLiteral("total");
inline const QString Manual = QStringLiteral("dTOd");
inline const QString FDate = QStringLiteral("FDate");
inline const QString FAssetName = QStringLiteral("FAssetName");
inline const QString FAssetNumber = QStringLiteral("FAssetNumber");
} // namespace AllocFix::Fields
