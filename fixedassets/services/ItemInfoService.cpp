#include "services/ItemInfoService.h"

#include "accountset/AccountSet.h"
#include "accountset/AccountSetErrors.h"
#include "host/ByName.h"
#include "host/MMTS.h"
#include "services/ItemRecordSet.h"

using namespace Qt::StringLiterals;
using AllocFix::MMTS::LoadLangString;

namespace FixedAssets {

std::unique_ptr<AllocFix::IRecordSet>
ItemInfoService::GetList(const QString &props, qint16 itemClassId, qint32 &resultCode,
                         const QVariant &condition, QString &resultText)
{
    const bool noCondition = AllocFix::isMissingArgument(condition) || !condition.isValid() ||
                             condition.toString().trimmed().isEmpty();
    if (!noCondition) {
        throw AllocFix::Failure(AccountSetError::NotSupported,
                                LoadLangString(u"GetList 不接受条件；请在记录集中查找"_s),
                                AccountSetError::Source);
    }
    auto items = ReferenceSnapshot::itemList(AccountSet::fromProps(props), itemClassId);
    resultCode = 0;
    resultText.clear();
    return std::make_unique<ItemRecordSet>(std::move(items));
}

} // namespace FixedAssets
