#include "services/ItemInfoService.h"

#include "accountset/AccountSet.h"
#include "accountset/AccountSetErrors.h"
#include "host/ByName.h"
#include "services/ItemRecordSet.h"

using namespace Qt::StringLiterals;

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
    auto items = ReferenceSnapshot::itemList(AccountSet::fromProps(props), itemClassId);
    resultCode = 0;
    resultText.clear();
    return std::make_unique<ItemRecordSet>(std::move(items));
}

} // namespace FixedAssets
