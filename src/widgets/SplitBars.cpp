#include "widgets/SplitBars.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace AllocFix {

SplitBars::SplitBars(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void SplitBars::setBars(const QList<Bar> &bars, const QString &fullText)
{
    m_bars = bars;
    setToolTip(fullText);
    setAccessibleDescription(fullText);
    updateGeometry();
    update();
}

QColor SplitBars::colour(State state)
{
    switch (state) {
    case State::Accepted:
        return {0x2e, 0x7d, 0x32};
    case State::Faulty:
        return {0xb0, 0x00, 0x00};
    case State::Unassigned:
        break;
    }
    return {0x8a, 0x8a, 0x8a};
}

int SplitBars::lineHeight() const
{
    return fontMetrics().height() + 4;
}

int SplitBars::barsHeight() const
{
    return static_cast<int>(m_bars.size()) * lineHeight();
}

int SplitBars::nameWidth() const
{
    // The real widths, rounded up: a width rounded to whole pixels may be a fraction short of its
    // text, which would then be cut at 150 %.
    const QFontMetricsF metrics(fontMetrics());
    qreal widest = 0;
    for (const Bar &bar : std::as_const(m_bars))
        widest = std::max(widest, metrics.horizontalAdvance(bar.name));
    return std::min(static_cast<int>(std::ceil(widest)), width() * 2 / 5);
}

QStringList SplitBars::shownNames() const
{
    const int room = nameWidth();
    QStringList names;
    for (const Bar &bar : std::as_const(m_bars))
        names.append(fontMetrics().elidedText(bar.name, Qt::ElideRight, room));
    return names;
}

QSize SplitBars::sizeHint() const
{
    return {200, barsHeight()};
}

void SplitBars::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QFontMetrics metrics = fontMetrics();
    const int line = lineHeight();
    // Names take the left, the figures the right, the bars the room between.
    const int names = nameWidth();
    const QStringList shown = shownNames();
    int shareWidth = 0;
    for (const Bar &bar : std::as_const(m_bars))
        shareWidth = std::max(shareWidth, metrics.horizontalAdvance(bar.shareText));
    const int gap = metrics.horizontalAdvance(QLatin1Char(' ')) * 2;
    const int trackLeft = names + gap;
    const int trackWidth = std::max(0, width() - trackLeft - shareWidth - gap);
    const qreal trackHeight = std::max(4.0, line * 0.4);

    int top = 0;
    for (qsizetype index = 0; index < m_bars.size(); ++index) {
        const Bar &bar = m_bars[index];
        const QColor stateColour = colour(bar.state);
        const QRect text(0, top, width(), line);
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(QRect(0, top, names, line), Qt::AlignLeft | Qt::AlignVCenter,
                         shown[index]);
        painter.setPen(stateColour);
        painter.drawText(text, Qt::AlignRight | Qt::AlignVCenter, bar.shareText);

        const QRectF track(trackLeft, top + (line - trackHeight) / 2, trackWidth, trackHeight);
        const qreal radius = trackHeight / 2;
        painter.setPen(Qt::NoPen);
        painter.setBrush(palette().color(QPalette::Midlight));
        painter.drawRoundedRect(track, radius, radius);
        const qreal filled = track.width() * std::clamp(bar.share, 0.0, 1.0);
        if (filled > 0) {
            painter.setBrush(stateColour);
            painter.drawRoundedRect(QRectF(track.topLeft(), QSizeF(filled, track.height())), radius,
                                    radius);
        }
        top += line;
    }
}

} // namespace AllocFix
