#pragma once

#include "records/RecordList.h"

#include <QList>
#include <QString>

namespace AllocFix {

class ManualStep;

// Each department's rates must add up to 1 when the sum is read to this many decimals.
inline constexpr int RateSumDecimals = 4;
// A sum of rates read to RateSumDecimals decimals, in units of the last decimal: 1 is 10000.
inline constexpr qint64 WholeRateUnits = 10000;
qint64 rateSumUnits(double sum);

// What a card's rows allocate of one of its departments, read as the validation reads it.
struct DepartmentTotal {
    QString name;
    qint64 allocated = 0; // in rate units: WholeRateUnits is 100 %
    bool whole() const { return allocated == WholeRateUnits; }
};
// One total per department of the card, in the departments' order; rows of no department of
// the card count for none.
QList<DepartmentTotal> departmentTotals(const RecordList &departments, const RecordList &rows);

// The card position a line of ValidationText names: the number after the line's localised
// beginning ("第 "). 0 for a line that names none.
qsizetype faultLineCard(const QString &line);

// Checks every card of the manual step before anything is saved: each card was shown, no
// department carries the same allocation twice, every department of the card has rows, and
// each department's rows add up to 100 %. Writes one line per fault, each ended by CR LF, to
// ValidationText, in the order found, and answers whether there was none.
//
// An error on the way (a failing card service, a card whose rows were never loaded) ends the
// check at once with false; the lines found so far stay.
bool ValidateAllocations(const ManualStep &step);

} // namespace AllocFix
