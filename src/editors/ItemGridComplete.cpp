#include "editors/ItemGridComplete.h"

#include "allocation/AllocationRules.h"
#include "widgets/ItemGridRows.h"

namespace AllocFix {

bool ItemGridComplete(const ItemGrid *grid)
{
    return itemsComplete(ReadItemGrid(grid));
}

} // namespace AllocFix
