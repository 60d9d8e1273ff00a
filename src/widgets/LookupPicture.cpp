#include "widgets/LookupPicture.h"

#include <QPainter>
#include <QPixmap>

namespace AllocFix {

namespace {

QPixmap paintLookup(int side)
{
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal unit = side / 16.0;

    painter.setPen(QPen(QColor(120, 130, 145), unit));
    for (int line = 0; line < 3; ++line) {
        const qreal y = (3 + line * 3) * unit;
        painter.drawLine(QPointF(1.5 * unit, y), QPointF((line == 2 ? 6 : 9) * unit, y));
    }

    const QPointF centre(9.5 * unit, 8.5 * unit);
    const qreal radius = 4 * unit;
    painter.setPen(QPen(QColor(40, 70, 120), 1.6 * unit));
    painter.setBrush(QColor(215, 230, 250, 200));
    painter.drawEllipse(centre, radius, radius);
    painter.setPen(QPen(QColor(40, 70, 120), 2.2 * unit, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(centre + QPointF(2.9 * unit, 2.9 * unit), QPointF(14.5 * unit, 14.5 * unit));
    return pixmap;
}

} // namespace

QIcon lookupPicture()
{
    QIcon icon;
    // Drawn for each size a button may ask at 100 % to 300 %, so none is an enlarged copy.
    for (int side : {16, 20, 24, 32, 40, 48, 64})
        icon.addPixmap(paintLookup(side));
    return icon;
}

} // namespace AllocFix
