#include "worksheet/ReferenceData.h"

#include "accountset/AccountSet.h"
#include "contracts/AccountServices.h"
#include "contracts/ItemService.h"
#include "host/ObjectRegistry.h"
#include "host/ProgIds.h"
#include "records/RecordFields.h"
#include "services/AccountDataService.h"

#include <QMap>

namespace FixedAssets {

ReferenceData::ReferenceData()
{
    const AccountSet set = hostAccountSet();
    const auto accountData =
        AllocFix::createService<AllocFix::IAccountData>(AllocFix::ProgId::GLData);
    QMap<qint32, QString> classNames; // by ID
    const QList<CodedEntry> accounts = detailAccounts(set);
    for (const CodedEntry &entry : accounts) {
        Account account{entry, {}};
        const auto classes = accountData->GetAccountItem(entry.id);
        for (classes->MoveFirst(); !classes->EndOfSet(); classes->MoveNext()) {
            const ItemClass itemClass{classes->Field(AllocFix::Fields::FItemClassID).toInt(),
                                      classes->Field(AllocFix::Fields::FItemClassName).toText()};
            account.classes.append(itemClass);
            classNames.insert(itemClass.id, itemClass.name);
        }
        m_accountById.insert(entry.id, m_accounts.size());
        m_accountByNumber.insert(entry.number, m_accounts.size());
        m_accounts.append(account);
    }
    for (auto named = classNames.cbegin(); named != classNames.cend(); ++named)
        m_classes.append({named.key(), named.value()});

    QList<qint32> classIds = classNames.keys();
    if (!classIds.contains(AllocFix::DepartmentItemClass))
        classIds.append(AllocFix::DepartmentItemClass);
    for (const qint32 classId : std::as_const(classIds)) {
        ClassItems &items = m_items[classId];
        items.entries = itemsOfClass(set, classId);
        for (qsizetype i = 0; i < items.entries.size(); ++i) {
            items.byId.insert(items.entries[i].id, i);
            items.byNumber.insert(items.entries[i].number, i);
            items.byName.insert(items.entries[i].name, i);
        }
    }
}

const ReferenceData::Account *ReferenceData::account(qint32 accountId) const
{
    const auto found = m_accountById.constFind(accountId);
    return found == m_accountById.cend() ? nullptr : &m_accounts.at(*found);
}

const ReferenceData::Account *ReferenceData::accountNumbered(const QString &number) const
{
    const auto found = m_accountByNumber.constFind(number);
    return found == m_accountByNumber.cend() ? nullptr : &m_accounts.at(*found);
}

const CodedEntry *ReferenceData::item(qint32 classId, qint32 itemId) const
{
    const auto items = m_items.constFind(classId);
    if (items == m_items.cend() || !items->byId.contains(itemId))
        return nullptr;
    return &items->entries.at(items->byId.value(itemId));
}

const CodedEntry *ReferenceData::findItem(qint32 classId, const QString &numberOrName) const
{
    const auto items = m_items.constFind(classId);
    if (items == m_items.cend())
        return nullptr;
    if (const auto numbered = items->byNumber.constFind(numberOrName);
        numbered != items->byNumber.cend())
        return &items->entries.at(*numbered);
    if (items->byName.count(numberOrName) != 1)
        return nullptr;
    return &items->entries.at(items->byName.value(numberOrName));
}

bool ReferenceData::nameIsShared(qint32 classId, const QString &name) const
{
    return m_items.value(classId).byName.count(name) > 1;
}

} // namespace FixedAssets
