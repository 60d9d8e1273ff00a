#pragma once

#include <QStringList>

class QWidget;

namespace AllocFix::Testing {

// Walks the accessibility tree under form as a screen reader does and returns every enabled
// control it meets without a name, as "objectName (role)". Frames, panes, pictures and the
// cells of lists (whose text is data, empty or not) are not controls.
QStringList namelessControls(QWidget *form);

} // namespace AllocFix::Testing
