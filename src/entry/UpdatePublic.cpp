#include "entry/UpdatePublic.h"

#include "entry/ResultFlag.h"
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
    if (!form) {
        form = std::make_unique<frmUpdateData>();
        QObject::connect(form.get(), &frmUpdateData::resultDecided, form.get(),
                         [](bool carriedThrough) { UpdateResultFlag = carriedThrough; });
    }
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
