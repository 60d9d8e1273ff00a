#pragma once

#include "records/RecordList.h"

namespace AllocFix {

// Whether two lists of accounting items choose different items: compared class by class (class
// ID to item ID; a later item of a class replaces an earlier one), whatever their order. Lists of
// different lengths differ, and so do none and a list; two nones do not. An item that cannot be
// read raises: "different" would be an answer the caller acts on.
bool ItemsDiffer(const RecordList &x, const RecordList &y);

} // namespace AllocFix
