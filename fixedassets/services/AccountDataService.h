#pragma once

#include "contracts/AccountServices.h"
#include "services/LookupObjects.h"

#include <QList>
#include <QObject>

namespace FixedAssets {

class AccountSet;

// "TamGLView.GLData": accounts and their item classes. It is kept for the life of the component
// and has no property string argument, so every call reads the host's property string anew to
// find the account set.
class AccountDataService final : public QObject, public AllocFix::IAccountData {
    Q_OBJECT
    Q_INTERFACES(AllocFix::IAccountData)
public:
    // key: an account number (text) or ID (number). A new AccountObject, owned by the caller,
    // or nullptr when there is no such account (also for an empty key).
    Q_INVOKABLE QObject *GetAccount(const QVariant &key);
    std::unique_ptr<AllocFix::IRecordSet> GetAccountItem(qint32 accountId) override;
};

// The account set of the host's property string.
AccountSet hostAccountSet();

// The lists the lookup dialogs offer, in number order.
QList<CodedEntry> detailAccounts(const AccountSet &set);
QList<CodedEntry> itemsOfClass(const AccountSet &set, qint32 itemClassId);
QString itemClassName(const AccountSet &set, qint32 itemClassId);

} // namespace FixedAssets
