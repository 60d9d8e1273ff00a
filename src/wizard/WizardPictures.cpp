#include "wizard/WizardPictures.h"

#include <QLinearGradient>
#include <QPainter>

namespace AllocFix {

namespace {

// A stack of asset cards, the emblem of the card adjustment.
void paintCards(QPainter &painter, QRectF area)
{
    const qreal w = area.width() * 0.62;
    const qreal h = w * 0.66;
    for (int i = 2; i >= 0; --i) {
        const QRectF card(area.center().x() - w / 2 + i * w * 0.1,
                          area.center().y() - h / 2 - i * h * 0.16, w, h);
        painter.setPen(QPen(QColor(40, 70, 120), 1.2));
        painter.setBrush(i == 0 ? QColor(255, 255, 255) : QColor(225, 233, 245));
        painter.drawRoundedRect(card, h * 0.08, h * 0.08);
        if (i != 0)
            continue;
        painter.setPen(QPen(QColor(90, 120, 170), 1.5));
        for (int line = 1; line <= 3; ++line) {
            const qreal y = card.top() + line * card.height() / 4.5;
            painter.drawLine(QPointF(card.left() + card.width() * 0.12, y),
                             QPointF(card.right() - card.width() * (line == 3 ? 0.45 : 0.12), y));
        }
        painter.setBrush(QColor(70, 140, 90));
        painter.setPen(Qt::NoPen);
        const qreal r = card.height() * 0.14;
        painter.drawEllipse(QPointF(card.right() - card.width() * 0.22, card.bottom() - r * 1.6), r,
                            r);
    }
}

// Painted at the screen's own pixels, so a scaled screen shows it sharp rather than enlarged.
QPixmap paintedPicture(QSize size, qreal pixelRatio, bool withBackground)
{
    QPixmap pixmap(size * pixelRatio);
    pixmap.setDevicePixelRatio(pixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    if (withBackground) {
        QLinearGradient gradient(0, 0, 0, size.height());
        gradient.setColorAt(0, QColor(46, 89, 153));
        gradient.setColorAt(1, QColor(150, 185, 225));
        painter.fillRect(QRect(QPoint(0, 0), size), gradient);
    }
    const qreal side = qMin(size.width(), size.height());
    const QRectF square((size.width() - side) / 2, withBackground ? size.height() * 0.12 : 0, side,
                        side);
    paintCards(painter, square);
    return pixmap;
}

} // namespace

QPixmap introductionPicture(QSize size, qreal pixelRatio)
{
    return paintedPicture(size, pixelRatio, true);
}

QPixmap stepPicture(QSize size, qreal pixelRatio)
{
    return paintedPicture(size, pixelRatio, false);
}

} // namespace AllocFix
