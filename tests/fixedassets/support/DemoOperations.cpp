#include "support/DemoOperations.h"

#include "accountset/AccountSet.h"
#include "accountset/DemoData.h"
#include "contracts/ItemService.h"
#include "records/RecordFields.h"
#include "services/CardReads.h"
#include "services/CardUpdateService.h"

using namespace Qt::StringLiterals;
using AllocFix::FieldRecord;
using AllocFix::RecordList;
namespace Fields = AllocFix::Fields;

namespace FixedAssets::Testing {

namespace {

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

} // namespace

FieldRecord allocationsForQueue(const AccountSet &set)
{
    QList<std::pair<QString, qint32>> queue;
    QSqlQuery query = set.exec(u"SELECT seq, alter_id FROM manual_queue ORDER BY seq"_s);
    while (query.next())
        queue.append({query.value(0).toString(), query.value(1).toInt()});

    FieldRecord allocations = FieldRecord::create();
    for (const auto &[position, cardId] : std::as_const(queue)) {
        const RecordList rows = CardReads::expenseRows(set, cardId);
        FieldRecord legacy;
        for (qsizetype r = rows.count(); r >= 1; --r) {
            if (rows.at(r).value(Fields::FDeptID).toInt() == 0)
                legacy = rows.at(r);
        }
        allocations.setValue(position,
                             rowsPerDepartment(legacy, CardReads::departments(set, cardId)));
    }
    return allocations;
}

QString prepareDemoSet(const QString &location, CardOperation operation, int cardCount)
{
    const QString canonical = createDemoAccountSet(location, cardCount);
    if (operation == CardOperation::Save)
        CardUpdateService().ReturnExpensInf(u"AcctSet="_s + canonical);
    AccountSet::closeAll();
    return canonical;
}

void runCardOperation(CardOperation operation, const QString &location)
{
    const QString props = u"AcctSet="_s + location;
    if (operation == CardOperation::Save)
        CardUpdateService().SaveDoubleExpense(props,
                                              allocationsForQueue(AccountSet::open(location)));
    else
        CardUpdateService().ReturnExpensInf(props);
}

} // namespace FixedAssets::Testing
