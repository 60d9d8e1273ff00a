#include "allocation/AllocationRules.h"

#include "allocation/AllocationTexts.h"
#include "records/RecordFields.h"

#include <QHash>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace AllocFix {

namespace {

// Departments are matched by number, as the card service may hand an ID as an integer or a double.
qsizetype departmentOf(const FieldRecord &row, const RecordList &departments)
{
    const double id = row.value(Fields::FDeptID).toDouble();
    for (qsizetype d = 1; d <= departments.count(); ++d) {
        if (departments.at(d).value(Fields::FItemID).toDouble() == id)
            return d;
    }
    return 0;
}

struct DepartmentScan {
    double sum = 0;
    qsizetype rows = 0;
    bool rowAtFault = false;
};

} // namespace

// The department's rates must read 1 at four decimals ("#.0000"): 0.3333 + 0.3333 + 0.3334
// passes, 0.5 + 0.4999 does not. The sum's exact binary value is rounded to four decimals; no
// double lies exactly halfway at 0.99995 or 1.00005, so how ties round cannot decide the outcome.
qint64 rateSumUnits(double sum)
{
    return QString::number(sum, 'f', RateSumDecimals).remove(u'.').toLongLong();
}

QString allocationKey(const FieldRecord &row)
{
    return row.value(Fields::FDeptID).toText() + u'|' + row.value(Fields::FAcctID).toText() + u'|' +
           AllocationTexts::ItemListText(row.value(Fields::Detail).toList());
}

bool breaks(const AllocationFaults &faults, AllocationRule rule)
{
    return std::any_of(faults.cbegin(), faults.cend(),
                       [rule](const AllocationFault &fault) { return fault.rule == rule; });
}

bool rateInRange(double rate)
{
    return rate > 0 && rate <= 1;
}

bool itemsComplete(const RecordList &items)
{
    for (qsizetype position = 1; items && position <= items.count(); ++position) {
        if (items.at(position).value(Fields::FItemID).toDouble() == 0)
            return false;
    }
    return true;
}

AllocationFaults rowFaults(const FieldRecord &row, qsizetype rowPosition)
{
    AllocationFaults faults;
    const qint32 department = row.value(Fields::FDeptID).toInt();
    if (row.value(Fields::FAcctID).toInt() == 0)
        faults.append({AllocationRule::NoAccount, 0, rowPosition, 0, department});
    if (!itemsComplete(row.value(Fields::Detail).toList()))
        faults.append({AllocationRule::ItemsIncomplete, 0, rowPosition, 0, department});
    if (!rateInRange(row.value(Fields::FRate).toDouble()))
        faults.append({AllocationRule::RateOutOfRange, 0, rowPosition, 0, department});
    return faults;
}

namespace {

// The faults, and each department's sum and rows, in one pass over the rows.
AllocationFaults scanCard(const RecordList &departments, const RecordList &rows, qsizetype card,
                          QList<DepartmentScan> &scans, DepartmentScan &outside)
{
    AllocationFaults faults;
    scans = QList<DepartmentScan>(departments.count());
    QHash<QString, qsizetype> seen;
    for (qsizetype position = 1; position <= rows.count(); ++position) {
        const FieldRecord row = rows.at(position);
        const qsizetype department = departmentOf(row, departments);
        DepartmentScan &scan = department == 0 ? outside : scans[department - 1];
        const qint32 departmentId = row.value(Fields::FDeptID).toInt();
        if (department == 0) {
            faults.append({AllocationRule::RowOutsideDepartments, card, position, 0, departmentId});
        } else {
            const AllocationFaults ofRow = rowFaults(row, position);
            for (AllocationFault fault : ofRow) {
                fault.card = card;
                faults.append(fault);
            }
            scan.rowAtFault = scan.rowAtFault || !ofRow.isEmpty();
        }
        const QString key = allocationKey(row);
        if (const qsizetype earlier = seen.value(key); earlier != 0) {
            faults.append({AllocationRule::DuplicateRow, card, position, earlier, departmentId});
            scan.rowAtFault = true;
        } else {
            seen.insert(key, position);
        }
        scan.sum += row.value(Fields::FRate).toDouble();
        ++scan.rows;
    }
    for (qsizetype d = 1; d <= departments.count(); ++d) {
        if (scans[d - 1].rows == 0) {
            faults.append({AllocationRule::DepartmentWithoutRows, card, 0, 0,
                           departments.at(d).value(Fields::FItemID).toInt()});
        }
    }
    for (qsizetype d = 1; d <= departments.count(); ++d) {
        const qint64 units = rateSumUnits(scans[d - 1].sum);
        if (units != WholeRateUnits) {
            faults.append({AllocationRule::RatesNotWhole, card, 0, 0,
                           departments.at(d).value(Fields::FItemID).toInt(), units});
        }
    }
    return faults;
}

} // namespace

AllocationFaults cardFaults(const RecordList &departments, const RecordList &rows, qsizetype card)
{
    QList<DepartmentScan> scans;
    DepartmentScan outside;
    return scanCard(departments, rows, card, scans, outside);
}

CardTotals cardTotals(const RecordList &departments, const RecordList &rows)
{
    QList<DepartmentScan> scans;
    DepartmentScan outside;
    scanCard(departments, rows, 0, scans, outside);
    CardTotals totals;
    for (qsizetype d = 1; d <= departments.count(); ++d) {
        const DepartmentScan &scan = scans[d - 1];
        DepartmentTotal total{departments.at(d).value(Fields::FItemName).toText(),
                              rateSumUnits(scan.sum)};
        total.accepted = total.whole() && !scan.rowAtFault;
        totals.departments.append(total);
    }
    totals.outside = rateSumUnits(outside.sum);
    totals.outsideRows = outside.rows;
    return totals;
}

} // namespace AllocFix
