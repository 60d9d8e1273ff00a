#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

namespace AllocFix {

// What the copy's search compares of a card, as GetDept and GetExpense give it: the "FItemID"
// of each department and the "FAcctID" of each row without a department ("FDeptID" 0), in no
// particular order, each as often as the card has it.
struct CardCopyKey {
    QList<qint32> departments;
    QList<qint32> legacyAccounts;
};

// Offered beside ICardInfo by a card information service that can read many cards in one pass,
// so that the copy's search need not ask card by card. A card the account set does not have is
// left out of the answer.
class ICardCopyKeys {
public:
    virtual ~ICardCopyKeys() = default;
    virtual QHash<qint32, CardCopyKey> GetCopyKeys(const QString &props,
                                                   const QList<qint32> &cardIds) = 0;
};

} // namespace AllocFix

Q_DECLARE_INTERFACE(AllocFix::ICardCopyKeys, "AllocFix.ICardCopyKeys/1.0")
