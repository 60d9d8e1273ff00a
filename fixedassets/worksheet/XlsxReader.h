#pragma once

#include "worksheet/CsvFile.h"

#include <functional>
#include <memory>

namespace FixedAssets {

// Whether a record is the header row of the sheet the import wants.
using HeaderTest = std::function<bool(const CsvRecord &)>;

// Reads the records of an Office Open XML workbook (.xlsx) as a spreadsheet program saved it:
// the first sheet whose first record passes the test, else the first sheet. A cell gives the text
// it shows: a number in full (a percent format's as percent, "33.3333%"), a date as "2024-01-31",
// a boolean as TRUE or FALSE, a formula its saved value. Memory stays that of one row and of
// the shared texts, of which only the first megabytes are held and the rest kept in a temporary
// file. Raises InvalidArgument, naming the sheet, row and column where it can, for a workbook
// that is encrypted, has macros or links to other files, is damaged, exceeds a limit, or has a
// formula saved without its value.
std::unique_ptr<RecordSource> openXlsx(const QString &path, const CsvLimits &limits,
                                       const HeaderTest &isHeader);

} // namespace FixedAssets
