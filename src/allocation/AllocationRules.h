#pragma once

#include "allocation/Rate.h"
#include "allocfix_export.h"
#include "records/FieldRecord.h"
#include "records/RecordList.h"

#include <QList>

namespace AllocFix {

// A sum of rates read to RateSumDecimals decimals, in units of the last decimal: 1 is
// WholeRateUnits.
qint64 rateSumUnits(double sum);

// The rules every allocation of a card keeps before it may be saved. The finish check, the totals
// line, the editor, the worksheet import and the account set's own save checks all ask these
// functions, so that what one accepts the others accept.
enum class AllocationRule {
    // A row of no department of the card: an old row left over, whose share would count twice.
    RowOutsideDepartments,
    NoAccount,
    // An item class of the row's account without its item.
    ItemsIncomplete,
    // A rate not above 0 or above 1 (100 %).
    RateOutOfRange,
    // The same department, account and item names (not IDs) as an earlier row.
    DuplicateRow,
    DepartmentWithoutRows,
    // The department's rates do not read 1 at RateSumDecimals decimals.
    RatesNotWhole,
};

struct AllocationFault {
    AllocationRule rule;
    qsizetype card = 0; // the card's position, as the caller gave it
    qsizetype row = 0;  // the row's position among the card's rows; 0 for a department's fault
    qsizetype earlierRow = 0; // DuplicateRow: the row it repeats
    qint32 departmentId = 0;  // the department the row or the fault is about
    qint64 allocated = 0;     // RatesNotWhole: what the department's rows add up to, in units
};
using AllocationFaults = QList<AllocationFault>;
bool breaks(const AllocationFaults &faults, AllocationRule rule);

// Two rows with the same key are the same allocation: department, account and item text agree
// (item IDs are not compared; the same items in another order are another allocation).
QString allocationKey(const FieldRecord &row);

bool rateInRange(double rate);
// Every item has its item chosen (an empty list is complete).
bool itemsComplete(const RecordList &items);

// The faults of one row alone, in the order NoAccount, ItemsIncomplete, RateOutOfRange.
AllocationFaults rowFaults(const FieldRecord &row, qsizetype rowPosition = 0);

// The faults of a card's rows against its departments (as the card service lists them): row by
// row in row order (outside the departments, then rowFaults, then a repeat), then the departments
// without rows and the departments whose rates are not whole, each in the departments' order.
ALLOCFIX_PRIVATE_EXPORT AllocationFaults cardFaults(const RecordList &departments,
                                                    const RecordList &rows, qsizetype card = 0);

// What the card's rows allocate of each of its departments, read as the rules read it.
struct DepartmentTotal {
    QString name;
    qint64 allocated = 0; // in rate units: WholeRateUnits is 100 %
    // The save accepts the department's rows: they make 100 % and no row of it is at fault.
    bool accepted = false;
    bool whole() const { return allocated == WholeRateUnits; }
};
struct CardTotals {
    // One per department of the card, in the departments' order.
    QList<DepartmentTotal> departments;
    // What rows of no department of the card allocate, in rate units; none is 0 rows.
    qint64 outside = 0;
    qsizetype outsideRows = 0;
};
CardTotals cardTotals(const RecordList &departments, const RecordList &rows);

} // namespace AllocFix
