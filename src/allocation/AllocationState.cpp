#include "allocation/AllocationState.h"

namespace AllocFix {

qint32 CurrentDeptID = 0;
QString CurrentDeptName;
QString ValidationText;

void resetAllocationState()
{
    CurrentDeptID = 0;
    CurrentDeptName.clear();
    ValidationText.clear();
}

} // namespace AllocFix
