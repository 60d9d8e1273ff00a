#pragma once

#include <QString>

namespace FixedAssets {

// A number of a workbook's cell as the import reads it: in full, to the 15 digits a spreadsheet
// program keeps ("33.3333", not "33.333299999999994").
QString numberText(double value);

// A date cell's serial number, days since the epoch of the workbook (1899-12-30, or 1904-01-01),
// as "2024-01-31", with "hh:mm:ss" when it holds a time of day.
QString dateText(double serial, bool from1904);

} // namespace FixedAssets
