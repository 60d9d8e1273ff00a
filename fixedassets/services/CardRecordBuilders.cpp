#include "services/CardRecordBuilders.h"

#include "records/RecordFields.h"

#include <QSet>

#include <utility>

using AllocFix::FieldRecord;
using AllocFix::RecordList;
namespace Fields = AllocFix::Fields;

namespace FixedAssets::CardRecordBuilders {

namespace {

// The names of the records made here, in the order the component sees them; every record of a
// kind shares its list.
const QStringList &departmentFields()
{
    static const QStringList names{Fields::FItemID, Fields::FItemName, Fields::FRate};
    return names;
}

const QStringList &rowFields()
{
    static const QStringList names{Fields::FAlterID,    Fields::FDeptID,   Fields::FAcctID,
                                   Fields::FAcctNumber, Fields::FAcctName, Fields::Detail,
                                   Fields::FRate};
    return names;
}

const QStringList &itemFields()
{
    static const QStringList names{Fields::FItemClassID, Fields::FItemClassName, Fields::FItemID,
                                   Fields::FItemName};
    return names;
}

// Account, class and item names recur in thousands of loaded rows: each text is held once and
// shared. Only equal texts are shared, so a name changed in the account set is read as it is
// now; the pool starts afresh when it grows large.
QString sharedText(const QString &text)
{
    constexpr qsizetype MostTexts = 50000;
    thread_local QSet<QString> pool;
    const auto found = pool.constFind(text);
    if (found != pool.cend())
        return *found;
    if (pool.size() >= MostTexts)
        pool.clear();
    pool.insert(text);
    return text;
}

} // namespace

FieldRecord departmentRecord(qint32 departmentId, const QString &name, double rate)
{
    FieldRecord record = FieldRecord::create(departmentFields());
    record.setValue(Fields::FItemID, departmentId);
    record.setValue(Fields::FItemName, sharedText(name));
    record.setValue(Fields::FRate, rate);
    return record;
}

FieldRecord expenseRowRecord(qint32 cardId, qint32 departmentId, qint32 accountId,
                             const QString &accountNumber, const QString &accountName, double rate)
{
    FieldRecord row = FieldRecord::create(rowFields());
    row.setValue(Fields::FAlterID, cardId);
    row.setValue(Fields::FDeptID, departmentId);
    row.setValue(Fields::FAcctID, accountId);
    row.setValue(Fields::FAcctNumber, sharedText(accountNumber));
    row.setValue(Fields::FAcctName, sharedText(accountName));
    row.setValue(Fields::Detail, RecordList::create());
    row.setValue(Fields::FRate, rate);
    return row;
}

FieldRecord itemRecord(qint32 classId, const QString &className, qint32 itemId,
                       const QString &itemName)
{
    FieldRecord item = FieldRecord::create(itemFields());
    item.setValue(Fields::FItemClassID, classId);
    item.setValue(Fields::FItemClassName, sharedText(className));
    item.setValue(Fields::FItemID, itemId);
    item.setValue(Fields::FItemName, sharedText(itemName));
    return item;
}

QList<RowIds> rowIds(const RecordList &rows)
{
    QList<RowIds> ids;
    const qsizetype count = rows ? rows.count() : 0;
    ids.reserve(count);
    for (qsizetype position = 1; position <= count; ++position) {
        const FieldRecord row = rows.at(position);
        RowIds converted{row.value(Fields::FDeptID).toInt(),
                         row.value(Fields::FAcctID).toInt(),
                         row.value(Fields::FRate).toDouble(),
                         {}};
        const RecordList items = row.value(Fields::Detail).toList();
        for (qsizetype i = 1; items && i <= items.count(); ++i) {
            const FieldRecord item = items.at(i);
            converted.items.append(
                {item.value(Fields::FItemClassID).toInt(), item.value(Fields::FItemID).toInt()});
        }
        ids.append(std::move(converted));
    }
    return ids;
}

} // namespace FixedAssets::CardRecordBuilders
