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
class LineToRow {
public:
    LineToRow(const WorksheetLines &lines, const ReferenceData &reference);

    // The ExpenseRow, or nothing when the line is at fault; then reasons has every fault.
    // The row of the card with this ID and these departments (item IDs, in the card's order).
    std::optional<AllocFix::FieldRecord> row(const CsvRecord &line, qint32 cardId,
                                             std::span<const qint32> departments,
                                             QStringList &reasons) const;

    // The rate a cell gives, as a fraction of 1: "50", "50%" and "33.33 %" are percent. Nothing,
    // with the reason, for anything else.
    static std::optional<double> rate(const QString &text, QString &reason);

private:
    std::optional<qint32> department(const QString &text, std::span<const qint32> departments,
                                     QStringList &reasons) const;
    AllocFix::RecordList items(const CsvRecord &line, const ReferenceData::Account &account,
                               std::optional<qint32> department, QStringList &reasons) const;

    const WorksheetLines &m_lines;
    const ReferenceData &m_reference;
};

} // namespace FixedAssets
