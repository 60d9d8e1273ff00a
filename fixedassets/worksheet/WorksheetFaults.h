#pragma once

#include "accountset/OutsideText.h"

#include <QList>
#include <QString>

namespace FixedAssets {

class WorksheetSink;

// A fault of a worksheet line; line 0 is the worksheet as a whole. In a workbook the line is the
// row of the named sheet, and a fault of one cell names its column (1 is A; 0 for none).
struct WorksheetFault {
    WorksheetFault() = default;
    WorksheetFault(qsizetype line, QString reason, QString sheet = {}, qsizetype column = 0)
        : line(line)
        , reason(std::move(reason))
        , sheet(std::move(sheet))
        , column(column)
    {}

    qsizetype line = 0;
    QString reason;
    QString sheet;
    qsizetype column = 0;

    // "file:line: reason", or "file: reason" for a fault of the whole worksheet; in a workbook
    // "file: sheet "name", row 12, column M: reason", where the user looks.
    QString in(const QString &file) const;
    // A column as a spreadsheet program names it: 1 is A, 27 is AA.
    static QString columnName(qsizetype column);
};

// The faults of a worksheet, told in the order of its lines (those of the whole worksheet last).
// A worksheet may have a fault on each of a million lines: the first Shown are kept and told,
// the others only counted.
class WorksheetFaults {
public:
    static constexpr qsizetype Shown = 200;

    // column: of the cell the fault is about, counted from 1; 0 for the line as a whole.
    void add(qsizetype line, const QString &reason, qsizetype column = 0);
    // The sheet whose rows the lines are from now on: those of a workbook.
    void setSheet(const QString &sheet) { m_sheet = sheet; }
    qsizetype count() const { return m_count; }
    bool isEmpty() const { return m_count == 0; }

    // Hands the sink the first Shown faults in order; the others are only counted.
    void tell(WorksheetSink &sink);

    // A cell of the worksheet as a fault quotes it: escaped as every outside text is, and at
    // most 60 characters, then "…".
    static QString shown(const QString &cell) { return OutsideText::shown(cell, 60); }

private:
    void keepFirst();

    QList<WorksheetFault> m_faults; // at most 2 * Shown, kept in order only when cut
    qsizetype m_count = 0;
    QString m_sheet;
};

} // namespace FixedAssets
