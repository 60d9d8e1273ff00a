#include "allocation/ManualStep.h"

#include "records/RecordFields.h"

#include <QSet>

using namespace Qt::StringLiterals;

namespace AllocFix {

void ManualStep::clear()
{
    m_cards = RecordList::create();
    m_rows = FieldRecord::create();
    m_loaded = FieldRecord::create();
}

void ManualStep::begin(const RecordList &cards)
{
    clear();
    m_cards = cards;
    for (qsizetype position = 1; position <= cards.count(); ++position)
        m_loaded.setValue(key(position), u"0"_s);
}

qint32 ManualStep::cardId(qsizetype position) const
{
    return m_cards.at(position).value(Fields::FAlterID).toInt();
}

bool ManualStep::isLoaded(qsizetype position) const
{
    return m_loaded.value(key(position)).toText() == u"1";
}

RecordList ManualStep::rows(qsizetype position) const
{
    return m_rows.value(key(position)).toList();
}

void ManualStep::loadRows(qsizetype position, const RecordList &rows)
{
    m_rows.setValue(key(position), rows ? rows : RecordList::create());
    m_loaded.setValue(key(position), u"1"_s);
}

qsizetype ManualStep::appendRow(qsizetype position, const FieldRecord &row)
{
    return rows(position).append(row);
}

void ManualStep::replaceRow(qsizetype position, qsizetype row, const FieldRecord &record)
{
    rows(position).replace(row, record);
}

void ManualStep::removeRow(qsizetype position, qsizetype row)
{
    rows(position).remove(row);
}

void ManualStep::setRows(qsizetype position, const RecordList &records)
{
    RecordList list = rows(position);
    // Both counts first: a card never loaded, or no records, raise before anything changes.
    const qsizetype present = list.count();
    const qsizetype count = records.count();
    if (present > 0)
        list.remove(1, present);
    for (qsizetype row = 1; row <= count; ++row)
        list.append(records.at(row));
}

void ManualStep::unloadRows(const QList<qsizetype> &positions)
{
    QSet<QString> keys;
    for (const qsizetype position : positions)
        keys.insert(key(position));
    // A keyed record cannot drop a field: the others go to a new one, in their order.
    FieldRecord kept = FieldRecord::create();
    for (const QString &name : m_rows.names()) {
        if (!keys.contains(name))
            kept.setValue(name, m_rows.value(name));
    }
    m_rows = kept;
    for (const QString &name : std::as_const(keys))
        m_loaded.setValue(name, u"0"_s);
}

} // namespace AllocFix
