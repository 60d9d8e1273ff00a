#pragma once

#include "allocfix_export.h"

#include <QString>

class QTreeWidget;
class QWidget;

// The caption of a control: a button's or label's text, a frame's or window's title.
namespace AllocFix {

QString captionOf(const QWidget *control);
void setCaption(QWidget *control, const QString &caption);

// Puts LoadLangString of the control's design caption on it. Never fails; a control whose
// caption cannot be set keeps its design caption.
void localiseCaption(QWidget *control);
// Puts LoadLangString2 of every column header's text on it, first to last.
ALLOCFIX_PRIVATE_EXPORT void localiseColumnHeaders(QTreeWidget *list);

} // namespace AllocFix
