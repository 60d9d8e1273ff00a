#pragma once

#include "worksheet/CsvFile.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace FixedAssets {

// Builds the records of a workbook's sheet cell by cell, within the limits a CSV file has: a
// cell's and a record's bytes as UTF-8, the records that are not blank, and the columns a
// spreadsheet program has. Its faults name the sheet, the row and the column.
class SheetRecords {
public:
    static constexpr qsizetype MaxColumns = 16384; // A to XFD

    SheetRecords(QString path, QString sheet, const CsvLimits &limits);

    const QString &sheet() const { return m_sheet; }
    void startRow(qsizetype row);
    // A cell of the current row, its column counted from 1; an empty text changes nothing.
    void setCell(qsizetype column, const QString &text);
    // The row begun, or nothing when it is blank. Counts it against the limit of lines.
    std::optional<CsvRecord> endRow();
    // The record last ended once more, as the given row: a row a sheet repeats.
    CsvRecord repeatRow(qsizetype row);

    // "file: sheet "name", row 12, column M: reason"; the column 0 names none.
    [[noreturn]] void raiseAt(qsizetype row, qsizetype column, const QString &reason) const;

private:
    void countRecord();

    QString m_path;
    QString m_sheet;
    CsvLimits m_limits;
    CsvRecord m_record;
    qsizetype m_recordBytes = 0;
    qint64 m_records = 0;
};

// The column of a cell's address, counted from 1: "M12" gives 13. Nothing when it names none or
// one beyond what a sheet holds.
std::optional<qsizetype> columnOfAddress(QStringView address);

} // namespace FixedAssets
