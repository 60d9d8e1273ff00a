#include "entry/UpdatePublic.h"

#include "wizard/frmUpdateData.h"

#include <memory>

namespace AllocFix::UpdatePublic {

namespace {
std::unique_ptr<frmUpdateData> &wizardInstance()
{
    static std::unique_ptr<frmUpdateData> form;
    return form;
}
} // namespace

frmUpdateData &wizardForm()
{
    auto &form = wizardInstance();
    if (!form)
        form = std::make_unique<frmUpdateData>();
    return *form;
}

void ShowWizardForm()
{
    wizardForm().showModal();
}

void resetModuleState()
{
    wizardInstance().reset();
}

} // namespace AllocFix::UpdatePublic
