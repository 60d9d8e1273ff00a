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

} // namespace AllocFix::Testing
