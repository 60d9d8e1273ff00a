#pragma once

#include "records/FieldRecord.h"
#include "records/RecordList.h"

#include <QList>

// Short ways to write the allocation records a test needs.
namespace AllocFix::Testing {

RecordList recordList(const QList<FieldRecord> &records);

// A department of a card's department allocation.
FieldRecord departmentRecord(qint32 id, const QString &name, double rate);

// An accounting item of an expense row.
FieldRecord itemRecord(const QString &className, const QString &itemName, qint32 itemId = 1);

// An expense row of the department; account acctId is numbered "6602.<acctId>" and named
// "费用<acctId>".
FieldRecord expenseRow(qint32 deptId, qint32 acctId, double rate,
                       const QList<FieldRecord> &items = {});

} // namespace AllocFix::Testing
