#pragma once

#include "accountset/OutsideText.h"

#include <QList>
#include <QString>

namespace FixedAssets {

class WorksheetSink;

// A fault of a worksheet line; line 0 is the worksheet as a whole.
struct WorksheetFault {
    qsizetype line = 0;
    QString reason;

    // "file:line: reason", or "file: reason" for a fault of the whole worksheet.
    QString in(const QString &file) const;
};

// The faults of a worksheet, told in the order of its lines (those of the whole worksheet last).
// A worksheet may have a fault on each of a million lines: the first Shown are kept and told,
// the others only counted.
class WorksheetFaults {
public:
    static constexpr qsizetype Shown = 200;

    void add(qsizetype line, const QString &reason);
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
};

} // namespace FixedAssets
