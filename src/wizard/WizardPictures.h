#pragma once

#include <QPixmap>
#include <QSize>

// The decorative pictures of the introduction and check pages. They carry no information. Each is
// painted for size in device-independent pixels at pixelRatio device pixels to one.
namespace AllocFix {
QPixmap introductionPicture(QSize size, qreal pixelRatio);
QPixmap stepPicture(QSize size, qreal pixelRatio);
} // namespace AllocFix
