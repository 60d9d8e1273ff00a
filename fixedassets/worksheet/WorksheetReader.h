#pragma once

#include "worksheet/CsvFile.h"

#include <memory>

namespace FixedAssets {

// The records of a filled-in worksheet in whatever a spreadsheet program saved it as, told by
// the file's suffix: an .xlsx workbook, an .ods spreadsheet, or CSV (in the encoding named, else
// the one it guesses). In a workbook the sheet is the first whose header names the asset number
// column, else the first. Raises as CsvReader, XlsxReader and OdsReader do.
//
//     WorksheetReader reader(file, WorksheetLimits);
//     faults.setSheet(reader.sheet());
//     while (const std::optional<CsvRecord> record = reader.next()) ...
class WorksheetReader {
public:
    WorksheetReader(const QString &path, const CsvLimits &limits, const QString &encoding = {});

    std::optional<CsvRecord> next() { return m_source->next(); }
    qint64 size() const { return m_source->size(); }
    qint64 bytesRead() const { return m_source->bytesRead(); }
    // The sheet read; empty for CSV.
    QString sheet() const { return m_source->sheet(); }

private:
    std::unique_ptr<RecordSource> m_source;
};

} // namespace FixedAssets
