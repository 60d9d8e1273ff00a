#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace FixedAssets {

// One record of a CSV file and the line it starts on (a quoted field may hold line breaks).
struct CsvRecord {
    qsizetype line = 0;
    QStringList fields; // spaces around unquoted fields removed
};

// Reads a CSV file as RFC 4180 describes it, through libcsv: UTF-8, with or without a byte
// order mark, its fields separated by commas, or by the semicolons or tabs that some spreadsheet
// programs write (told from the first line). Blank lines are left out. Raises InvalidArgument,
// "file:line: reason", for a file that cannot be read, is not UTF-8 or has quotes that do not pair.
QList<CsvRecord> readCsvFile(const QString &path);

} // namespace FixedAssets
