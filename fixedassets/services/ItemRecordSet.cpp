#include "services/ItemRecordSet.h"

#include "contracts/MemoryRecordSet.h"
#include "records/FieldRecord.h"

#include <algorithm>
#include <optional>

using namespace Qt::StringLiterals;

namespace FixedAssets {

namespace {

// n of a criterion "FItemID = n" (spaces optional, n a whole number that fits 32 bits), or
// nothing for any other criterion.
std::optional<qint32> itemIdSought(const QString &criterion)
{
    static const QString field = u"FItemID"_s;
    QStringView rest = QStringView(criterion).trimmed();
    if (!rest.startsWith(field))
        return std::nullopt;
    rest = rest.mid(field.size()).trimmed();
    if (!rest.startsWith(u'='))
        return std::nullopt;
    rest = rest.mid(1).trimmed();
    bool ok = false;
    const qint32 id = rest.toInt(&ok);
    const bool digitsOnly =
        !rest.isEmpty() &&
        std::all_of(rest.begin() + ((rest[0] == u'+' || rest[0] == u'-') ? 1 : 0), rest.end(),
                    [](QChar c) { return c.isDigit(); });
    if (!ok || !digitsOnly)
        return std::nullopt;
    return id;
}

} // namespace

ItemRecordSet::ItemRecordSet(std::shared_ptr<const ReferenceSnapshot::ItemList> items)
    : m_items(std::move(items))
{}

qint32 ItemRecordSet::RecordCount() const
{
    return static_cast<qint32>(m_items->records.count());
}

void ItemRecordSet::MoveFirst()
{
    m_position = 1;
}

void ItemRecordSet::MoveNext()
{
    if (!EndOfSet())
        ++m_position;
}

void ItemRecordSet::Find(const QString &criterion, qint32 skipRecords)
{
    const std::optional<qint32> id = itemIdSought(criterion);
    if (!id) {
        findGenerally(criterion, skipRecords);
        return;
    }
    const qsizetype found = m_items->positions.value(*id, 0);
    m_position = found >= m_position + qMax(0, skipRecords) ? found : pastTheEnd();
}

// The component's record set, brought to this one's position, searches; this one then stands
// where it stopped.
void ItemRecordSet::findGenerally(const QString &criterion, qint32 skipRecords)
{
    AllocFix::MemoryRecordSet general(m_items->records);
    for (qsizetype position = 1; position < m_position; ++position)
        general.MoveNext();
    general.Find(criterion, skipRecords);
    qsizetype left = 0;
    for (; !general.EndOfSet(); general.MoveNext())
        ++left;
    m_position = pastTheEnd() - left;
}

qsizetype ItemRecordSet::pastTheEnd() const
{
    return m_items->records.count() + 1;
}

bool ItemRecordSet::EndOfSet() const
{
    return m_position > m_items->records.count();
}

AllocFix::FieldValue ItemRecordSet::Field(const QString &name) const
{
    // Past the end, an empty record set of the component's raises the error it raises there.
    if (EndOfSet())
        return AllocFix::MemoryRecordSet(AllocFix::RecordList::create()).Field(name);
    return m_items->records.at(m_position).value(name);
}

} // namespace FixedAssets
