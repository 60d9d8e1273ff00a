#pragma once

#include "contracts/ItemService.h"

#include <QObject>

namespace FixedAssets {

// "OrvGLItem.ItemInfo": the items of one class, as a record set with "FItemID", "FName",
// "FNumber" and "FDetail" (1 for a detail-level item), in number order. The record set is held
// in memory, so its search criterion is parsed strictly and never reaches SQL.
class ItemInfoService final : public QObject, public AllocFix::IItemInfo {
    Q_OBJECT
    Q_INTERFACES(AllocFix::IItemInfo)
public:
    // condition must be omitted or empty: filters are not offered (NotSupported). resultCode
    // and resultText come back as 0 and empty text.
    std::unique_ptr<AllocFix::IRecordSet> GetList(const QString &props, qint16 itemClassId,
                                                  qint32 &resultCode, const QVariant &condition,
                                                  QString &resultText) override;
};

} // namespace FixedAssets
