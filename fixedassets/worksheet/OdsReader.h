#pragma once

#include "worksheet/XlsxReader.h"

namespace FixedAssets {

// Reads the records of an OpenDocument spreadsheet (.ods) as XlsxReader reads a workbook: the
// first sheet whose first record passes the test, else the first sheet; numbers by their value
// (a percentage as "33.3333%"), other cells as they are shown; rows and cells the file repeats
// are repeated within the limits. Raises InvalidArgument, naming the sheet, row and column where
// it can, for a spreadsheet that is encrypted, has macros, is damaged, exceeds a limit, or has a
// formula saved without its value.
std::unique_ptr<RecordSource> openOds(const QString &path, const CsvLimits &limits,
                                      const HeaderTest &isHeader);

} // namespace FixedAssets
