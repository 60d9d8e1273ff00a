#pragma once

#include "records/FieldRecord.h"
#include "records/RecordList.h"

#include <QList>
#include <QString>

#include <utility>

namespace FixedAssets::CardRecordBuilders {

// The records as the component sees them, built in one place for every reader: a department
// (DeptRecords), an expense row with an empty "Detail" list to append its items to, and an item.
AllocFix::FieldRecord departmentRecord(qint32 departmentId, const QString &name, double rate);
AllocFix::FieldRecord expenseRowRecord(qint32 cardId, qint32 departmentId, qint32 accountId,
                                       const QString &accountNumber, const QString &accountName,
                                       double rate);
AllocFix::FieldRecord itemRecord(qint32 classId, const QString &className, qint32 itemId,
                                 const QString &itemName);

// A row by its IDs alone: as the account set stores it, and as a save compares and writes it.
struct RowIds {
    qint32 departmentId = 0;
    qint32 accountId = 0;
    double rate = 0.0;
    QList<std::pair<qint32, qint32>> items; // class, item; in the row's order
};

// The rows' IDs, in the rows' order.
QList<RowIds> rowIds(const AllocFix::RecordList &rows);

} // namespace FixedAssets::CardRecordBuilders
