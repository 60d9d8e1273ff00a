#include "records/RecordList.h"

#include "host/ErrorRecord.h"
#include "host/MMTS.h"
#include "records/FieldRecord.h"

#include <QList>

using namespace Qt::StringLiterals;

namespace AllocFix {

struct RecordList::Data {
    QList<FieldRecord> items;
};

RecordList RecordList::create()
{
    RecordList list;
    list.m_data = std::make_shared<Data>();
    return list;
}

RecordList::Data &RecordList::data() const
{
    if (!m_data)
        throw Failure(ErrorNumber::ObjectNotSet,
                      MMTS::LoadLangString(u"对象变量未设置：列表为空"_s));
    return *m_data;
}

qsizetype RecordList::count() const
{
    return data().items.size();
}

namespace {
[[noreturn]] void raiseOutOfRange(qsizetype position, qsizetype count)
{
    throw Failure(
        ErrorNumber::SubscriptOutOfRange,
        MMTS::LoadLangString(u"下标越界：共 %2 项的列表没有第 %1 项"_s).arg(position).arg(count));
}
} // namespace

FieldRecord RecordList::at(qsizetype position) const
{
    const QList<FieldRecord> &items = data().items;
    if (position < 1 || position > items.size())
        raiseOutOfRange(position, items.size());
    return items.at(position - 1);
}

void RecordList::replace(qsizetype position, const FieldRecord &record)
{
    QList<FieldRecord> &items = data().items;
    if (position < 1 || position > items.size())
        raiseOutOfRange(position, items.size());
    items[position - 1] = record;
}

qsizetype RecordList::append(const FieldRecord &record)
{
    QList<FieldRecord> &items = data().items;
    items.append(record);
    return items.size();
}

void RecordList::remove(qsizetype position, qsizetype count)
{
    QList<FieldRecord> &items = data().items;
    if (count < 0 || position < 1 || position + count - 1 > items.size())
        raiseOutOfRange(position + count - 1, items.size());
    items.remove(position - 1, count);
}

RecordList RecordList::copy() const
{
    RecordList list = create();
    list.m_data->items = data().items;
    return list;
}

RecordList CloneRecordList(const RecordList &list)
{
    RecordList clone = list.copy();
    for (qsizetype position = 1; position <= clone.count(); ++position) {
        const FieldRecord element = list.at(position);
        clone.replace(position, element ? element.copy() : FieldRecord());
    }
    return clone;
}

} // namespace AllocFix
