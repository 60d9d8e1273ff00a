#pragma once

#include "contracts/CardCopyKeys.h"
#include "contracts/CardServices.h"

#include <QObject>

namespace FixedAssets {

// "OrvFACard.CardInfo" on the account set that the property string names. An unknown card
// raises UnknownCard.
class CardInfoService final :
    public QObject,
    public AllocFix::ICardInfo,
    public AllocFix::ICardCopyKeys {
    Q_OBJECT
    Q_INTERFACES(AllocFix::ICardInfo AllocFix::ICardCopyKeys)
public:
    AllocFix::FieldRecord CheckDataForUpDate(const QString &props) override;
    AllocFix::RecordList GetDept(const QString &props, qint32 &cardId) override;
    AllocFix::RecordList GetExpense(const QString &props, qint32 &cardId) override;
    AllocFix::FieldRecord GetCardInf(const QString &props, qint32 &cardId) override;
    // Every field of the card: "FAlterID", "FAssetNumber", "FAssetName", "FDate", "FCategory",
    // "FModel", "FLocation", "FOriginalValue", "FAccumulatedDepreciation", "FNetValue",
    // "FUsefulLife" (months), "FDepreciationMethod", "FStatus", "FDepartments" (names and
    // shares as one text).
    AllocFix::FieldRecord GetDetail(const QString &props, qint32 &cardId) override;
    QHash<qint32, AllocFix::CardCopyKey> GetCopyKeys(const QString &props,
                                                     const QList<qint32> &cardIds) override;
};

} // namespace FixedAssets
