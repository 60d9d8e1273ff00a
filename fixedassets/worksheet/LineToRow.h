#pragma once

#include "records/FieldRecord.h"
#include "worksheet/CsvFile.h"
#include "worksheet/ReferenceData.h"
#include "worksheet/WorksheetLines.h"

#include <QStringList>

#include <optional>
#include <span>

namespace FixedAssets {

// Turns a filled line of a worksheet into the expense row it asks for, as the expense editor
// would take it: one of the card's departments (by number or name), a detail-level account (by
// number), a detail-level item (by number, or by a name no other item of its class has) for
// each of the account's item classes, and a rate in percent from 0.01 to 100. An empty
// department item takes the row's department, as the automatic adjustment does.
// The faults of a line: each reason, with the column of the cell it is about (counted from 1; 0
// for none), so that a fault in a workbook can name the cell.
struct LineFaults {
    QStringList reasons;
    QList<qsizetype> columns;

    void add(const QString &reason, qsizetype column)
    {
        reasons.append(reason);
        columns.append(column);
    }
    // The column the line's one fault is about; 0 when there are several or it names none.
    qsizetype column() const { return columns.size() == 1 ? columns.first() : 0; }
};

class LineToRow {
public:
    LineToRow(const WorksheetLines &lines, const ReferenceData &reference);

    // The ExpenseRow, or nothing when the line is at fault; then faults has every fault.
    // The row of the card with this ID and these departments (item IDs, in the card's order).
    std::optional<AllocFix::FieldRecord> row(const CsvRecord &line, qint32 cardId,
                                             std::span<const qint32> departments,
                                             LineFaults &faults) const;

    // The rate a cell gives, as a fraction of 1: "50", "50%" and "33.33 %" are percent. Nothing,
    // with the reason, for anything else.
    static std::optional<double> rate(const QString &text, QString &reason);

private:
    std::optional<qint32> department(const QString &text, std::span<const qint32> departments,
                                     LineFaults &faults) const;
    AllocFix::RecordList items(const CsvRecord &line, const ReferenceData::Account &account,
                               std::optional<qint32> department, LineFaults &faults) const;

    const WorksheetLines &m_lines;
    const ReferenceData &m_reference;
};

} // namespace FixedAssets
