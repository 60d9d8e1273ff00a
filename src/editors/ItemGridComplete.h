#pragma once

namespace AllocFix {

class ItemGrid;

// False at the first data row whose chosen item, read as a number, is 0 ("..." and no item);
// true otherwise, also when the grid has no data rows. The rows are read as the editor stores
// them (ReadItemGrid) and judged by the rule the finish check and the save apply to a row's
// items (itemsComplete), so the editor refuses exactly the items they would refuse.
bool ItemGridComplete(const ItemGrid *grid);

} // namespace AllocFix
