#pragma once

#include <QList>

class QTreeWidget;

namespace AllocFix {

// Lets the columns of list share what the list gains or loses in width from now on, by weights
// (one per column; 0 keeps a column's width). A list back at its width has its columns back at
// their widths. A column the user resizes keeps that width, and the sharing starts from there.
void stretchColumnsWithList(QTreeWidget *list, const QList<int> &weights);

} // namespace AllocFix
