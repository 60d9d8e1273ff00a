#pragma once

#include <QString>

class QTreeWidget;

// Small operations on report-style list views: selecting a row by the number in its tag, keeping
// column widths from one use of a dialog to the next, and the Shift key state.
namespace AllocFix {

// Selects the first row whose tag reads as number (a tag that is no number reads as 0). When no
// row carries it, the selection is left as it was.
void SelectItemByTag(QTreeWidget *list, qint32 number);

// Whether Shift is held at the moment of the call.
bool IsShiftDown();

// Column widths live in the host's settings store under "FA" / section / "lvColWidth"1.., in
// twips. A column whose width cannot be read or written is skipped, and so is a stored width
// that is no usable width; the column keeps its current width.
void RestoreColumnWidths(QTreeWidget *list, const QString &section);
void SaveColumnWidths(QTreeWidget *list, const QString &section);

} // namespace AllocFix
