#include "services/ItemInfoService.h"

#include "accountset/AccountSet.h"
#include "accountset/AccountSetErrors.h"
#include "contracts/MemoryRecordSet.h"
#include "host/ByName.h"
#include "records/FieldRecord.h"
#include "services/AccountDataService.h"

using namespace Qt::StringLiterals;
using AllocFix::FieldRecord;
using AllocFix::RecordList;

namespace FixedAssets {

std::unique_ptr<AllocFix::IRecordSet>
ItemInfoService::GetList(const QString &props, qint16 itemClassId, qint32 &resultCode,
                         const QVariant &condition, QString &resultText)
{
    const bool noCondition = AllocFix::isMissingArgument(condition) || !condition.isValid() ||
                             condition.toString().trimmed().isEmpty();
    if (!noCondition) {
        throw AllocFix::Failure(AccountSetError::NotSupported,
                                u"GetList takes no condition; search the record set instead"_s,
                                AccountSetError::Source);
    }
    RecordList items = RecordList::create();
    const QList<CodedEntry> entries =
        itemsOfClass(AccountSet::fromProps(props), static_cast<qint32>(itemClassId));
    for (const CodedEntry &entry : entries) {
        FieldRecord item = FieldRecord::create();
        item.setValue(u"FItemID"_s, entry.id);
        item.setValue(u"FName"_s, entry.name);
        item.setValue(u"FNumber"_s, entry.number);
        item.setValue(u"FDetail"_s, entry.detail ? 1 : 0);
        items.append(item);
    }
    resultCode = 0;
    resultText.clear();
    return std::make_unique<AllocFix::MemoryRecordSet>(items);
}

} // namespace FixedAssets
