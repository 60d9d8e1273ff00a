#include "records/RecordList.h"

#include "host/ErrorRecord.h"
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
        throw Failure(ErrorNumber::ObjectNotSet, u"Object variable not set: the list is none"_s);
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
        u"Subscript out of range: position %1 of a list of %2"_s.arg(position).arg(count));
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
