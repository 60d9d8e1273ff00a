#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace AllocFix {
class frmUpdateData;
}

namespace AllocFix::Testing {

// Shows the wizard through the host's entry (ShowUpdate.ShowExportFrm) and runs steps on it once
// it is shown; closes it afterwards if the steps left it open. Returns when the wizard is gone.
void runWizard(const std::function<void(frmUpdateData &wizard)> &steps);

// Clicks the named button of the wizard.
void click(QWidget *wizard, const QString &button);

// From the introduction: Next, then "开始调整".
void startAdjustment(frmUpdateData &wizard);

// Acts on the check-and-save dialog once its check has ended in the result layout. Register it
// before the finish command: the check runs in the dialog's own event loop, and this waits for
// its end without blocking it.
void whenCheckResultShown(std::function<void(QWidget *dialog)> action);

} // namespace AllocFix::Testing
