#pragma once

#include <QString>

class QWidget;

// A control's tag: free text the host's forms keep on a control (a chosen ID, a marker such as
// "N" that a form-wide operation tests). Held as the widget's dynamic property "Tag".
namespace AllocFix {

// Empty text when the control has no tag.
QString controlTag(const QWidget *control);
void setControlTag(QWidget *control, const QString &tag);

} // namespace AllocFix
