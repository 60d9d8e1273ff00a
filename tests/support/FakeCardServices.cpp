#include "support/FakeCardServices.h"

#include "contracts/CardCopyKeys.h"
#include "contracts/CardServices.h"
#include "host/ErrorRecord.h"
#include "host/ProgIds.h"
#include "records/RecordFields.h"

using namespace Qt::StringLiterals;

namespace AllocFix::Testing {

namespace {

class FakeCardInfo : public QObject, public ICardInfo {
    Q_OBJECT
    Q_INTERFACES(AllocFix::ICardInfo)
public:
    explicit FakeCardInfo(FakeCardServices &services)
        : m_services(services)
    {}

    FieldRecord CheckDataForUpDate(const QString &props) override
    {
        m_services.called(u"CheckDataForUpDate"_s, props);
        FieldRecord result = FieldRecord::create();
        result.setValue(Fields::Total, m_services.total);
        result.setValue(Fields::Manual, m_services.manual);
        return result;
    }
    RecordList GetDept(const QString &props, qint32 &cardId) override
    {
        return CloneRecordList(card(u"GetDept"_s, props, cardId).departments);
    }
    // A fresh list on every call, as a service reads it from its account set.
    RecordList GetExpense(const QString &props, qint32 &cardId) override
    {
        return CloneRecordList(card(u"GetExpense"_s, props, cardId).expenses);
    }
    FieldRecord GetCardInf(const QString &props, qint32 &cardId) override
    {
        return card(u"GetCardInf"_s, props, cardId).info.copy();
    }
    FieldRecord GetDetail(const QString &props, qint32 &cardId) override
    {
        return card(u"GetDetail"_s, props, cardId).detail;
    }

protected:
    const FakeCardServices::Card &card(const QString &member, const QString &props, qint32 id)
    {
        m_services.called(member, props, member + u' ' + QString::number(id));
        const auto found = m_services.cards.constFind(id);
        if (found == m_services.cards.constEnd())
            throw Failure(ErrorNumber::ServiceBase + 21, u"no card %1"_s.arg(id));
        return *found;
    }
    FakeCardServices &m_services;
};

// The same service, able to tell the copy's search the keys of many cards at once.
class FakeCardInfoWithKeys final : public FakeCardInfo, public ICardCopyKeys {
    Q_OBJECT
    Q_INTERFACES(AllocFix::ICardInfo AllocFix::ICardCopyKeys)
public:
    using FakeCardInfo::FakeCardInfo;

    QHash<qint32, CardCopyKey> GetCopyKeys(const QString &props,
                                           const QList<qint32> &cardIds) override
    {
        m_services.called(u"GetCopyKeys"_s, props);
        QHash<qint32, CardCopyKey> keys;
        for (const qint32 id : cardIds) {
            const auto found = m_services.cards.constFind(id);
            if (found == m_services.cards.constEnd())
                continue;
            CardCopyKey &key = keys[id];
            for (qsizetype d = 1; d <= found->departments.count(); ++d)
                key.departments.append(found->departments.at(d).value(Fields::FItemID).toInt());
            for (qsizetype r = 1; r <= found->expenses.count(); ++r) {
                const FieldRecord row = found->expenses.at(r);
                if (row.value(Fields::FDeptID).toInt() == 0)
                    key.legacyAccounts.append(row.value(Fields::FAcctID).toInt());
            }
        }
        return keys;
    }
};

class FakeCardUpdate final : public QObject, public ICardUpdate {
    Q_OBJECT
    Q_INTERFACES(AllocFix::ICardUpdate)
public:
    explicit FakeCardUpdate(FakeCardServices &services)
        : m_services(services)
    {}

    RecordList ReturnExpensInf(const QString &props) override
    {
        m_services.called(u"ReturnExpensInf"_s, props);
        RecordList result = RecordList::create();
        for (qint32 id : std::as_const(m_services.manualCards)) {
            FieldRecord card = FieldRecord::create();
            card.setValue(Fields::FAlterID, id);
            result.append(card);
        }
        return result;
    }
    bool SaveDoubleExpense(const QString &props, const FieldRecord &allocations) override
    {
        m_services.called(u"SaveDoubleExpense"_s, props);
        m_services.savedAllocations = allocations;
        return m_services.saveAnswer;
    }
    bool AllocFixDate(const QString &props) override
    {
        m_services.called(u"AllocFixDate"_s, props);
        return true;
    }

private:
    FakeCardServices &m_services;
};

class FakeCardViewer final : public QObject, public ICardViewer {
    Q_OBJECT
    Q_INTERFACES(AllocFix::ICardViewer)
public:
    explicit FakeCardViewer(FakeCardServices &services)
        : m_services(services)
    {}

    void setViewJudge(bool viewJudge) override
    {
        m_services.viewerCalls.append(u"ViewJudge "_s + (viewJudge ? u"true"_s : u"false"_s));
    }
    void setWantEditFromView(qint16 wantEdit) override
    {
        m_services.viewerCalls.append(u"WantEditFromView "_s + QString::number(wantEdit));
    }
    void setDataView(const FieldRecord &detail) override
    {
        m_services.viewerCalls.append(u"DataView"_s);
        m_services.viewedDetail = detail;
    }
    void ShowCard() override
    {
        m_services.called(u"ShowCard"_s, {});
        m_services.viewerCalls.append(u"ShowCard"_s);
    }

private:
    FakeCardServices &m_services;
};

template<class Fake>
std::unique_ptr<ScopedRegistration> registration(const QString &progId, FakeCardServices &services)
{
    return std::make_unique<ScopedRegistration>(
        progId, [&services] { return std::make_unique<Fake>(services); });
}

} // namespace

FakeCardServices::FakeCardServices()
{
    m_registrations.push_back(std::make_unique<ScopedRegistration>(
        ProgId::CardInfo, [this]() -> std::unique_ptr<QObject> {
            if (offersCopyKeys)
                return std::make_unique<FakeCardInfoWithKeys>(*this);
            return std::make_unique<FakeCardInfo>(*this);
        }));
    m_registrations.push_back(registration<FakeCardUpdate>(ProgId::CardUpdate, *this));
    m_registrations.push_back(registration<FakeCardViewer>(ProgId::CardShow, *this));
}

FakeCardServices::~FakeCardServices() = default;

FakeCardServices::Card &FakeCardServices::addCard(qint32 id)
{
    Card &card = cards[id];
    const QString number = QString::number(id);
    card.info.setValue(Fields::FDate, QString(u"2024-01-"_s + number));
    card.info.setValue(Fields::FAssetName, QString(u"资产"_s + number));
    card.info.setValue(Fields::FAssetNumber, QString(u"ZC"_s + number));
    card.detail.setValue(Fields::FAlterID, id);
    return card;
}

void FakeCardServices::called(const QString &member, const QString &hostProps, const QString &call)
{
    calls.append(call.isEmpty() ? member : call);
    props.append(hostProps);
    if (beforeCall)
        beforeCall(member);
    if (failing.contains(member) || (!call.isEmpty() && failing.contains(call)))
        throw Failure(ErrorNumber::ServiceBase + 20, member + u" failed"_s, u"FakeCard"_s);
}

} // namespace AllocFix::Testing

#include "FakeCardServices.moc"
