#include "services/Adjustment.h"

#include "accountset/AccountSet.h"
#include "contracts/ItemService.h"
#include "records/RecordFields.h"
#include "services/CardRecords.h"

using namespace Qt::StringLiterals;
using AllocFix::FieldRecord;
using AllocFix::RecordList;
namespace Fields = AllocFix::Fields;

namespace FixedAssets::Adjustment {

CardsToAdjust findCards(const AccountSet &set)
{
    QSqlQuery query = set.exec(
        u"SELECT c.alter_id,"
        " (SELECT count(*) FROM expense_rows r WHERE r.alter_id = c.alter_id AND r.dept_id = 0),"
        " (SELECT count(*) FROM expense_rows r WHERE r.alter_id = c.alter_id)"
        " FROM cards c"
        " WHERE (SELECT count(*) FROM card_departments d WHERE d.alter_id = c.alter_id) >= 2"
        " AND EXISTS (SELECT 1 FROM expense_rows r WHERE r.alter_id = c.alter_id"
        " AND r.dept_id = 0)"
        " ORDER BY c.asset_number, c.alter_id"_s);
    CardsToAdjust cards;
    while (query.next()) {
        const qint32 cardId = query.value(0).toInt();
        if (query.value(1).toInt() == 1 && query.value(2).toInt() == 1)
            cards.automatic.append(cardId);
        else
            cards.manual.append(cardId);
    }
    return cards;
}

CardCounts countCards(const AccountSet &set)
{
    // Each card's rows counted in one grouped pass; the departments looked up only for the cards
    // with legacy rows. Counts what findCards lists: keep the two in step.
    QSqlQuery query = set.exec(
        u"SELECT count(*),"
        " coalesce(sum(CASE WHEN r.legacy = 1 AND r.total = 1 THEN 0 ELSE 1 END), 0)"
        " FROM (SELECT alter_id, count(*) AS total,"
        " sum(CASE WHEN dept_id = 0 THEN 1 ELSE 0 END) AS legacy"
        " FROM expense_rows GROUP BY alter_id) r"
        " WHERE r.legacy > 0"
        " AND (SELECT count(*) FROM card_departments d WHERE d.alter_id = r.alter_id) >= 2"_s);
    if (!query.next())
        return {};
    return {query.value(0).toInt(), query.value(1).toInt()};
}

RecordList rowsPerDepartment(const FieldRecord &legacy, const RecordList &departments)
{
    RecordList rows = RecordList::create();
    for (qsizetype d = 1; d <= departments.count(); ++d) {
        const qint32 departmentId = departments.at(d).value(Fields::FItemID).toInt();
        FieldRecord row = legacy.copy();
        row.setValue(Fields::FDeptID, departmentId);
        row.setValue(Fields::FRate, 1.0);
        const RecordList items = row.value(Fields::Detail).toList();
        for (qsizetype i = 1; i <= items.count(); ++i) {
            FieldRecord item = items.at(i);
            if (item.value(Fields::FItemClassID).toInt() == AllocFix::DepartmentItemClass) {
                item.setValue(Fields::FItemID, departmentId);
                item.setValue(Fields::FItemName, departments.at(d).value(Fields::FItemName));
            }
        }
        rows.append(row);
    }
    return rows;
}

AuditEntry adjustAutomatically(const AccountSet &set, qint32 cardId)
{
    const RecordList before = CardRecords::expenseRows(set, cardId);
    const RecordList rows = rowsPerDepartment(before.at(1), CardRecords::departments(set, cardId));
    CardRecords::replaceExpenseRows(set, cardId, rows);
    return {cardId, CardRecords::toJson(before), CardRecords::toJson(rows)};
}

} // namespace FixedAssets::Adjustment
