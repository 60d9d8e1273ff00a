#pragma once

#include <QPixmap>
#include <QSize>

// The decorative pictures of the introduction and check pages. They carry no information.
namespace AllocFix {
QPixmap introductionPicture(QSize size);
QPixmap stepPicture(QSize size);
} // namespace AllocFix
