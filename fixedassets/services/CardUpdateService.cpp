#include "services/CardUpdateService.h"

#include "accountset/AccountSet.h"
#include "accountset/AccountSetErrors.h"
#include "host/MMTS.h"
#include "records/RecordFields.h"
#include "services/Adjustment.h"
#include "services/CardWriter.h"
#include "services/ManualQueueSave.h"

#include <QDate>

using namespace Qt::StringLiterals;
using AllocFix::FieldRecord;
using AllocFix::RecordList;
using AllocFix::MMTS::LoadLangString;
namespace Fields = AllocFix::Fields;

namespace FixedAssets {

RecordList CardUpdateService::ReturnExpensInf(const QString &props)
{
    const AccountSet set = AccountSet::fromProps(props);
    WriteTransaction transaction(set);
    Adjustment::run(set);
    RecordList manual = Adjustment::queuedCards(set);
    transaction.commit();
    CardWriter::updateExpenseRowStatistics(set);
    return manual;
}

qsizetype adjustAccountSet(const QString &props)
{
    const AccountSet set = AccountSet::fromProps(props);
    WriteTransaction transaction(set);
    const qsizetype manual = Adjustment::run(set);
    transaction.commit();
    CardWriter::updateExpenseRowStatistics(set);
    return manual;
}

bool CardUpdateService::SaveDoubleExpense(const QString &props, const FieldRecord &allocations)
{
    if (!allocations)
        ManualQueueSave::reject(LoadLangString(u"没有给出分配"_s));
    const AccountSet set = AccountSet::fromProps(props);
    WriteTransaction transaction(set);
    ManualQueueSave save(set);
    const QStringList keys = allocations.names();
    for (const QString &key : keys) {
        const qint32 position = save.positionOf(key);
        const AllocFix::FieldValue value = allocations.value(key);
        if (!value.isList() || !value.toList())
            ManualQueueSave::reject(LoadLangString(u"序号 %1 没有费用分配行列表"_s).arg(key));
        save.add(position, value.toList());
    }
    save.finish();
    transaction.commit();
    CardWriter::updateExpenseRowStatistics(set);
    return true;
}

bool CardUpdateService::AllocFixDate(const QString &props)
{
    const AccountSet set = AccountSet::fromProps(props);
    WriteTransaction transaction(set);
    set.setProfileValue(u"AdjustmentDate"_s, QDate::currentDate().toString(Qt::ISODate));
    transaction.commit();
    return true;
}

} // namespace FixedAssets
