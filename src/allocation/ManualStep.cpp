#include "allocation/ManualStep.h"

#include "records/RecordFields.h"

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

} // namespace AllocFix
