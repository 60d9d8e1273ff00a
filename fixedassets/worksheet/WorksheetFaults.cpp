#include "worksheet/WorksheetFaults.h"

#include "worksheet/WorksheetSink.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace FixedAssets {

QString WorksheetFault::in(const QString &file) const
{
    const QString shownFile = OutsideText::shown(file);
    return line > 0 ? u"%1:%2: %3"_s.arg(shownFile).arg(line).arg(reason)
                    : u"%1: %2"_s.arg(shownFile, reason);
}

void WorksheetFaults::add(qsizetype line, const QString &reason)
{
    ++m_count;
    m_faults.append({line, reason});
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
