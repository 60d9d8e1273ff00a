#include "support/AllocationRecords.h"

#include "records/RecordFields.h"

using namespace Qt::StringLiterals;

namespace AllocFix::Testing {

RecordList recordList(const QList<FieldRecord> &records)
{
    RecordList list = RecordList::create();
    for (const FieldRecord &record : records)
        list.append(record);
    return list;
}

FieldRecord departmentRecord(qint32 id, const QString &name, double rate)
{
    FieldRecord department = FieldRecord::create();
    department.setValue(Fields::FItemID, id);
    department.setValue(Fields::FItemName, name);
    department.setValue(Fields::FRate, rate);
    return department;
}

FieldRecord itemRecord(const QString &className, const QString &itemName, qint32 itemId)
{
    FieldRecord item = FieldRecord::create();
    item.setValue(Fields::FItemClassID, 2);
    item.setValue(Fields::FItemClassName, className);
    item.setValue(Fields::FItemID, itemId);
    item.setValue(Fields::FItemName, itemName);
    return item;
}

FieldRecord expenseRow(qint32 deptId, qint32 acctId, double rate, const QList<FieldRecord> &items)
{
    FieldRecord row = FieldRecord::create();
    row.setValue(Fields::FDeptID, deptId);
    row.setValue(Fields::FAcctID, acctId);
    row.setValue(Fields::FAcctNumber, QString(u"6602."_s + QString::number(acctId)));
    row.setValue(Fields::FAcctName, QString(u"费用"_s + QString::number(acctId)));
    row.setValue(Fields::Detail, recordList(items));
    row.setValue(Fields::FRate, rate);
    return row;
}

} // namespace AllocFix::Testing
