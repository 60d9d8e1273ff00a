#include "entry/ComponentUnload.h"

#include "allocation/AllocationState.h"
#include "allocation/CardView.h"
#include "contracts/ErrorReporter.h"
#include "entry/ResultFlag.h"
#include "entry/UpdatePublic.h"
#include "forms/Hourglass.h"
#include "host/ErrorRecord.h"
#include "host/MMTS.h"
#include "host/sysObjecs.h"
#include "wizard/frmShowInf.h"

#include <QCoreApplication>

namespace AllocFix {

void unloadComponent()
{
    resetCheckAndSaveForm();
    UpdatePublic::resetModuleState();
    UpdateResultFlag = false;
    resetWaitNesting();
    resetAllocationState();
    CardView::resetModuleState();
    resetErrorReporter();
    sysObjecs::resetModuleState();
    MMTS::resetModuleState();
    clearCurrentError();
}

namespace {
// Forms are widgets: they must go while the application object still exists.
void unloadAtApplicationExit()
{
    qAddPostRoutine(unloadComponent);
}
Q_COREAPP_STARTUP_FUNCTION(unloadAtApplicationExit)
} // namespace

} // namespace AllocFix
