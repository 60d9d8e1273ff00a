#pragma once

#include "records/RecordList.h"

namespace AllocFix {

class ItemGrid;

// The item grid's data rows as accounting items: column 1 is the item class (text = class name,
// data = class ID), column 2 the chosen item (text = item name, data = item ID). "..." with
// data 0 marks a class without a chosen item.

// Rebuilds the rows for the account's item classes, in the account's order, keeping the item of
// each class that previous (may be none) holds. When "TamGLView.GLData" does not know the
// account, the grid is disabled and its rows are left as they were; this never enables it.
// Failures of the lookup reach the caller.
void FillItemGrid(ItemGrid *grid, qint32 accountId, const RecordList &previous);

// One new ItemRecord per data row, in grid order.
RecordList ReadItemGrid(const ItemGrid *grid);

} // namespace AllocFix
