#pragma once

#include <QList>

class QHeaderView;

namespace AllocFix {

// Lets the columns of a list or grid share what the list gains or loses in width from now on,
// by weights (one per column; 0 keeps a column's width). A list back at its width has its
// columns back at their widths. A column the user resizes keeps that width, and the sharing
// starts from there.
// header belongs to the list (its parent).
void stretchColumns(QHeaderView *header, const QList<int> &weights);

} // namespace AllocFix
