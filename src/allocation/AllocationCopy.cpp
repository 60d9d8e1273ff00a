#include "allocation/AllocationCopy.h"

#include "allocation/ManualStep.h"
#include "contracts/CardServices.h"
#include "host/MMTS.h"
#include "host/ObjectRegistry.h"
#include "host/ProgIds.h"
#include "records/FieldRecord.h"
#include "records/RecordFields.h"

#include <algorithm>

namespace AllocFix {

namespace {

// The IDs named by a field of the records, in ascending order; each once when unique is set.
QList<qint32> sortedIds(const RecordList &records, const QString &field, bool unique,
                        const std::function<bool(const FieldRecord &)> &counts = {})
{
    QList<qint32> ids;
    for (qsizetype position = 1; position <= records.count(); ++position) {
        const FieldRecord record = records.at(position);
        if (!counts || counts(record))
            ids.append(record.value(field).toInt());
    }
    std::sort(ids.begin(), ids.end());
    if (unique)
        ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    return ids;
}

QList<qint32> departmentIds(const RecordList &departments)
{
    return sortedIds(departments, Fields::FItemID, false);
}

// A legacy row has no department.
QList<qint32> legacyAccounts(const RecordList &rows)
{
    return sortedIds(rows, Fields::FAcctID, true, [](const FieldRecord &row) {
        return row.value(Fields::FDeptID).toInt() == 0;
    });
}

} // namespace

AllocationCopy findAllocationCopy(const ManualStep &step, qsizetype source,
                                  const CopyProgress &progress)
{
    const QString props = MMTS::GetPropsString();
    const auto cardInfo = [] { return createService<ICardInfo>(ProgId::CardInfo); };
    qint32 sourceId = step.cardId(source);
    const QList<qint32> departments = departmentIds(cardInfo()->GetDept(props, sourceId));
    const QList<qint32> accounts = legacyAccounts(cardInfo()->GetExpense(props, sourceId));

    AllocationCopy copy;
    copy.source = source;
    const qsizetype cardCount = step.vecFalterID().count();
    for (qsizetype position = 1; position <= cardCount; ++position) {
        if (progress)
            progress(position - 1, cardCount);
        if (position == source)
            continue;
        qint32 cardId = step.cardId(position);
        try {
            if (departmentIds(cardInfo()->GetDept(props, cardId)) != departments)
                continue;
            RecordList rows = cardInfo()->GetExpense(props, cardId);
            if (legacyAccounts(rows) == accounts)
                copy.targets.append({position, cardId, rows});
        } catch (...) {
            copy.unreadable.append(position);
        }
    }
    if (progress)
        progress(cardCount, cardCount);
    return copy;
}

void applyAllocationCopy(ManualStep &step, const AllocationCopy &copy)
{
    const RecordList rows = step.rows(copy.source);
    for (const AllocationCopy::Target &target : copy.targets) {
        RecordList copies = RecordList::create();
        for (qsizetype position = 1; position <= rows.count(); ++position) {
            FieldRecord row = rows.at(position).copy();
            row.setValue(Fields::FAlterID, target.cardId);
            copies.append(row);
        }
        if (!step.isLoaded(target.position))
            step.loadRows(target.position, target.serviceRows);
        step.setRows(target.position, copies);
    }
}

} // namespace AllocFix
