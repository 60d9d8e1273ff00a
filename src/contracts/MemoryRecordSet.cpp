#include "contracts/MemoryRecordSet.h"

#include "host/ErrorRecord.h"
#include "host/MMTS.h"
#include "records/FieldRecord.h"

#include <QRegularExpression>

#include <optional>

using namespace Qt::StringLiterals;

namespace AllocFix {

namespace {

struct Criterion {
    QString field;
    std::optional<qint64> number;
    QString text;
};

Criterion parseCriterion(const QString &criterion)
{
    static const QRegularExpression pattern(
        uR"(^\s*([A-Za-z_][A-Za-z0-9_]*)\s*=\s*(?:([+-]?\d{1,18})|'((?:[^']|'')*)')\s*$)"_s);
    const QRegularExpressionMatch match = pattern.match(criterion);
    if (!match.hasMatch()) {
        throw Failure(
            ErrorNumber::InvalidArgument,
            MMTS::LoadLangString(u"查找条件“%1”不是“字段名 = 值”的形式"_s).arg(criterion));
    }
    Criterion parsed{match.captured(1), std::nullopt, {}};
    if (match.hasCaptured(2))
        parsed.number = match.captured(2).toLongLong();
    else
        parsed.text = match.captured(3).replace(u"''"_s, u"'"_s);
    return parsed;
}

bool meets(const FieldRecord &record, const Criterion &criterion)
{
    const FieldValue value = record.value(criterion.field);
    if (!criterion.number)
        return !value.isList() && value.toText() == criterion.text;
    if (value.isInteger())
        return value.toInt() == *criterion.number;
    if (value.isDouble())
        return value.toDouble() == static_cast<double>(*criterion.number);
    return false;
}

} // namespace

MemoryRecordSet::MemoryRecordSet(RecordList records)
    : m_records(records ? std::move(records) : RecordList::create())
{}

qint32 MemoryRecordSet::RecordCount() const
{
    return static_cast<qint32>(m_records.count());
}

void MemoryRecordSet::MoveFirst()
{
    m_position = 1;
}

void MemoryRecordSet::MoveNext()
{
    if (!EndOfSet())
        ++m_position;
}

void MemoryRecordSet::Find(const QString &criterion, qint32 skipRecords)
{
    const Criterion parsed = parseCriterion(criterion);
    m_position += qMax(0, skipRecords);
    while (!EndOfSet() && !meets(m_records.at(m_position), parsed))
        ++m_position;
}

bool MemoryRecordSet::EndOfSet() const
{
    return m_position > m_records.count();
}

FieldValue MemoryRecordSet::Field(const QString &name) const
{
    if (EndOfSet()) {
        throw Failure(ErrorNumber::ServiceBase + 3021,
                      MMTS::LoadLangString(u"没有当前记录：记录集已在最后一条记录之后"_s));
    }
    return m_records.at(m_position).value(name);
}

} // namespace AllocFix
