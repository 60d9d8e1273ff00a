#include "forms/ControlAnchors.h"

#include <algorithm>
#include <cmath>

namespace AllocFix {

namespace {

int share(double fraction, int growth)
{
    return static_cast<int>(std::lround(fraction * growth));
}

} // namespace

void ControlAnchors::add(QWidget *control, Anchor anchor)
{
    m_entries.append({control, control->geometry(), anchor});
}

void ControlAnchors::apply(QSize growth)
{
    m_growth = growth.expandedTo(QSize(0, 0));
    const int dx = m_growth.width();
    const int dy = m_growth.height();
    for (const Entry &entry : std::as_const(m_entries)) {
        if (!entry.control)
            continue;
        const Anchor &a = entry.anchor;
        // Edges are rounded, not sizes, so two controls that meet at the design size still meet.
        const int left = entry.place.left() + share(a.left, dx);
        const int right = entry.place.left() + entry.place.width() + share(a.left + a.width, dx);
        const int top = entry.place.top() + share(a.top, dy);
        const int bottom = entry.place.top() + entry.place.height() + share(a.top + a.height, dy);
        entry.control->setGeometry(left, top, right - left, bottom - top);
    }
}

void ControlAnchors::atDesignSize(const std::function<void()> &change)
{
    const QSize growth = m_growth;
    apply(QSize(0, 0));
    change();
    for (Entry &entry : m_entries) {
        if (entry.control)
            entry.place = entry.control->geometry();
    }
    apply(growth);
}

QRect ControlAnchors::designPlace(const QWidget *control) const
{
    const auto found = std::find_if(m_entries.begin(), m_entries.end(),
                                    [control](const Entry &e) { return e.control == control; });
    return found == m_entries.end() ? QRect() : found->place;
}

} // namespace AllocFix
