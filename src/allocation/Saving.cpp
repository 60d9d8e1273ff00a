#include "allocation/Saving.h"

#include "contracts/CardServices.h"
#include "entry/UpdatePublic.h"
#include "host/MMTS.h"
#include "host/ObjectRegistry.h"
#include "host/ProgIds.h"
#include "wizard/frmUpdateData.h"

namespace AllocFix {

bool SaveAllocations()
{
    const auto cardUpdate = createService<ICardUpdate>(ProgId::CardUpdate);
    return cardUpdate->SaveDoubleExpense(MMTS::GetPropsString(),
                                         UpdatePublic::wizardForm().AllDict());
}

bool UpdateDates()
{
    const auto cardUpdate = createService<ICardUpdate>(ProgId::CardUpdate);
    return cardUpdate->AllocFixDate(MMTS::GetPropsString());
}

} // namespace AllocFix
