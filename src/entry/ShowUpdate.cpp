#include "entry/ShowUpdate.h"

#include "entry/ResultFlag.h"
#include "entry/UpdatePublic.h"

namespace AllocFix {

ShowUpdate::ShowUpdate(QObject *parent)
    : QObject(parent)
{}

qint32 ShowUpdate::UpdateResult() const
{
    return UpdateResultFlag ? -1 : 0;
}

void ShowUpdate::ShowExportFrm()
{
    UpdatePublic::ShowWizardForm();
}

} // namespace AllocFix
