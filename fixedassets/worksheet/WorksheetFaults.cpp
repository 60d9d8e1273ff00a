#include "worksheet/WorksheetFaults.h"

#include "host/MMTS.h"
#include "worksheet/WorksheetSink.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace FixedAssets {

QString WorksheetFault::in(const QString &file) const
{
    using AllocFix::MMTS::LoadLangString;
    const QString shownFile = OutsideText::shown(file);
    if (line <= 0)
        return u"%1: %2"_s.arg(shownFile, reason);
    if (sheet.isEmpty())
        return u"%1:%2: %3"_s.arg(shownFile).arg(line).arg(reason);
    const QString shownSheet = WorksheetFaults::shown(sheet);
    if (column <= 0) {
        return LoadLangString(u"%1: 工作表 \"%2\" 第 %3 行：%4"_s)
            .arg(shownFile, shownSheet, QString::number(line), reason);
    }
    return LoadLangString(u"%1: 工作表 \"%2\" 第 %3 行 %4 列：%5"_s)
        .arg(shownFile, shownSheet, QString::number(line), columnName(column), reason);
}

QString WorksheetFault::columnName(qsizetype column)
{
    QString name;
    for (; column > 0; column = (column - 1) / 26)
        name.prepend(QChar(u'A' + static_cast<char16_t>((column - 1) % 26)));
    return name;
}

void WorksheetFaults::add(qsizetype line, const QString &reason, qsizetype column)
{
    ++m_count;
    m_faults.append({line, reason, m_sheet, column});
    if (m_faults.size() >= 2 * Shown)
        keepFirst();
}

void WorksheetFaults::keepFirst()
{
    const auto order = [](const WorksheetFault &fault) {
        return fault.line == 0 ? PTRDIFF_MAX : fault.line;
    };
    std::stable_sort(
        m_faults.begin(), m_faults.end(),
        [&order](const WorksheetFault &a, const WorksheetFault &b) { return order(a) < order(b); });
    if (m_faults.size() > Shown)
        m_faults.resize(Shown);
}

void WorksheetFaults::tell(WorksheetSink &sink)
{
    keepFirst();
    for (const WorksheetFault &fault : std::as_const(m_faults))
        sink.fault(fault);
}

} // namespace FixedAssets
