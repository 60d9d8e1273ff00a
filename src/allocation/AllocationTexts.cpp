#include "allocation/AllocationTexts.h"

#include "contracts/ItemService.h"
#include "host/ByName.h"
#include "host/MMTS.h"
#include "host/ObjectRegistry.h"
#include "host/ProgIds.h"
#include "records/FieldRecord.h"
#include "records/RecordFields.h"

using namespace Qt::StringLiterals;

namespace AllocFix::AllocationTexts {

qint32 ListResultCode = 0;
QString ListResultText;

QString ItemListText(const RecordList &items)
{
    if (!items)
        return {};
    QString text;
    for (qsizetype position = 1; position <= items.count(); ++position) {
        const FieldRecord item = items.at(position);
        text += u'/' + item.value(Fields::FItemClassName).toText() + u'-' +
                item.value(Fields::FItemName).toText();
    }
    return text;
}

QString DepartmentName(qint32 departmentId)
{
    const auto service = createService<IItemInfo>(ProgId::ItemInfo);
    const auto departments = service->GetList(MMTS::GetPropsString(), DepartmentItemClass,
                                              ListResultCode, missingArgument(), ListResultText);
    if (!departments || departments->RecordCount() == 0)
        return {};
    departments->MoveFirst();
    departments->Find(u"FItemID = "_s + QString::number(departmentId), 0);
    if (departments->EndOfSet())
        return {};
    return departments->Field(u"FName"_s).toText();
}

void resetModuleState()
{
    ListResultCode = 0;
    ListResultText.clear();
}

} // namespace AllocFix::AllocationTexts
