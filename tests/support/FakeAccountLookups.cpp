#include "support/FakeAccountLookups.h"

#include "contracts/AccountServices.h"
#include "contracts/MemoryRecordSet.h"
#include "host/ErrorRecord.h"
#include "host/ProgIds.h"
#include "records/FieldRecord.h"
#include "records/RecordFields.h"

#include <QObject>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace AllocFix::Testing {

namespace {

// An account or item as the lookups answer it.
class FakeEntity final : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool detail MEMBER detail)
    Q_PROPERTY(QString name MEMBER name)
    Q_PROPERTY(QString number MEMBER number)
    Q_PROPERTY(qint32 AccountID MEMBER accountId)
public:
    using QObject::QObject;
    bool detail = true;
    QString name;
    QString number;
    qint32 accountId = 0;
};

class FakeLookupResult final : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool ReturnOK MEMBER ok)
    Q_PROPERTY(QVariant ReturnValue MEMBER value)
    Q_PROPERTY(QObject *ReturnObject MEMBER chosen)
public:
    explicit FakeLookupResult(const FakeAccountLookups::LookupAnswer &answer)
        : ok(answer.ok)
        , value(answer.value)
    {
        auto *entity = new FakeEntity(this);
        entity->detail = answer.detail;
        entity->name = answer.name;
        entity->number = answer.number;
        entity->accountId = answer.value;
        chosen = entity;
    }
    bool ok;
    QVariant value;
    QObject *chosen = nullptr;
};

class FakeGLData final : public QObject, public IAccountData {
    Q_OBJECT
    Q_INTERFACES(AllocFix::IAccountData)
public:
    explicit FakeGLData(FakeAccountLookups &lookups)
        : m_lookups(lookups)
    {}

    Q_INVOKABLE QObject *GetAccount(const QVariant &key)
    {
        m_lookups.getAccountKeys.append(key);
        if (m_lookups.getAccountFails)
            throw Failure(ErrorNumber::ServiceBase + 21, u"account data unavailable"_s);
        const FakeAccountLookups::Account *found = key.metaType() == QMetaType::fromType<QString>()
                                                       ? m_lookups.accountByNumber(key.toString())
                                                       : m_lookups.account(key.toInt());
        if (!found)
            return nullptr;
        auto *answer = new FakeEntity;
        answer->detail = found->detail;
        answer->name = found->name;
        answer->number = found->number;
        answer->accountId = found->id;
        return answer;
    }

    std::unique_ptr<IRecordSet> GetAccountItem(qint32 accountId) override
    {
        m_lookups.accountItemRequests.append(accountId);
        RecordList records = RecordList::create();
        if (const FakeAccountLookups::Account *found = m_lookups.account(accountId)) {
            for (const FakeAccountLookups::ItemClass &itemClass : found->classes) {
                FieldRecord record = FieldRecord::create();
                record.setValue(Fields::FItemClassID, itemClass.id);
                record.setValue(Fields::FItemClassName, itemClass.name);
                records.append(record);
            }
        }
        return std::make_unique<MemoryRecordSet>(records);
    }

private:
    FakeAccountLookups &m_lookups;
};

class FakeGLView final : public QObject {
    Q_OBJECT
public:
    explicit FakeGLView(FakeAccountLookups &lookups)
        : m_lookups(lookups)
    {}

    Q_INVOKABLE QObject *AccountLookup(const QVariant &key)
    {
        m_lookups.accountLookupKeys.append(key);
        return answer(m_lookups.accountLookupAnswer);
    }

    Q_INVOKABLE QObject *ItemLookup(qint32 &itemClassId, qint32 &itemId)
    {
        m_lookups.itemLookupRequests.append({itemClassId, itemId});
        if (m_lookups.itemLookupFails)
            throw Failure(ErrorNumber::ServiceBase + 22, u"item lookup unavailable"_s);
        return answer(m_lookups.itemLookupAnswer);
    }

private:
    static QObject *answer(const std::optional<FakeAccountLookups::LookupAnswer> &scripted)
    {
        return scripted ? new FakeLookupResult(*scripted) : nullptr;
    }

    FakeAccountLookups &m_lookups;
};

} // namespace

FakeAccountLookups::FakeAccountLookups()
{
    m_registrations.push_back(std::make_unique<ScopedRegistration>(
        ProgId::GLData, [this] { return std::make_unique<FakeGLData>(*this); }));
    m_registrations.push_back(std::make_unique<ScopedRegistration>(
        ProgId::GLView, [this] { return std::make_unique<FakeGLView>(*this); }));
}

FakeAccountLookups::~FakeAccountLookups() = default;

void FakeAccountLookups::addAccount(const Account &account)
{
    m_accounts.insert(account.id, account);
}

const FakeAccountLookups::Account *FakeAccountLookups::account(qint32 id) const
{
    const auto found = m_accounts.constFind(id);
    return found == m_accounts.constEnd() ? nullptr : &found.value();
}

const FakeAccountLookups::Account *FakeAccountLookups::accountByNumber(const QString &number) const
{
    const auto found =
        std::find_if(m_accounts.cbegin(), m_accounts.cend(),
                     [&](const Account &candidate) { return candidate.number == number; });
    return found == m_accounts.cend() ? nullptr : &found.value();
}

} // namespace AllocFix::Testing

#include "FakeAccountLookups.moc"
