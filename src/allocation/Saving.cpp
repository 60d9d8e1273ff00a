#include "allocation/Saving.h"

#include "allocation/ManualStep.h"
#include "contracts/CardServices.h"
#include "host/MMTS.h"
#include "host/ObjectRegistry.h"
#include "host/ProgIds.h"

namespace AllocFix {

bool SaveAllocations(const ManualStep &step)
{
    const auto cardUpdate = createService<ICardUpdate>(ProgId::CardUpdate);
    return cardUpdate->SaveDoubleExpense(MMTS::GetPropsString(), step.AllDict());
}

bool UpdateDates()
{
    const auto cardUpdate = createService<ICardUpdate>(ProgId::CardUpdate);
    return cardUpdate->AllocFixDate(MMTS::GetPropsString());
}

} // namespace AllocFix
