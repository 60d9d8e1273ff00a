#pragma once

#include "records/FieldRecord.h"
#include "records/RecordList.h"
#include "support/ScopedRegistration.h"

#include <QList>
#include <QMap>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace AllocFix::Testing {

// Recording fakes of the card services "OrvFACard.CardInfo" and "OrvFACard.CardUpdate" and of
// the card viewer "Mirelo.CardShow", registered while the object lives. Tests set up the
// account set's cards and read what the component asked.
class FakeCardServices {
public:
    struct Card {
        RecordList departments = RecordList::create();
        RecordList expenses = RecordList::create();
        FieldRecord info = FieldRecord::create();
        FieldRecord detail = FieldRecord::create();
    };

    FakeCardServices();
    ~FakeCardServices();
    FakeCardServices(const FakeCardServices &) = delete;
    FakeCardServices &operator=(const FakeCardServices &) = delete;

    // A card with reference data named after its ID ("资产<id>", "ZC<id>", "2024-01-<id>").
    Card &addCard(qint32 id);

    // The answers
    qint32 total = 0;
    qint32 manual = 0;
    QMap<qint32, Card> cards;
    // What ReturnExpensInf answers, in this order.
    QList<qint32> manualCards;
    // What SaveDoubleExpense answers when it does not fail.
    bool saveAnswer = true;
    // Whether the card information service also answers GetCopyKeys (ICardCopyKeys).
    bool offersCopyKeys = false;
    // Members named here raise a service error; a call named here ("GetExpense 103") too.
    QStringList failing;
    // Runs at the start of every member call with the member's name, before it may fail.
    std::function<void(const QString &member)> beforeCall;

    // What was asked, in order: "CheckDataForUpDate", "GetDept 101", "SaveDoubleExpense", ...
    QStringList calls;
    // The host property string of every call, in the same order.
    QStringList props;
    int callsOf(const QString &call) const { return static_cast<int>(calls.count(call)); }
    // The allocations SaveDoubleExpense was given: the caller's object itself.
    FieldRecord savedAllocations;
    // What the viewer was told, in order: "ViewJudge true", "WantEditFromView 2", "DataView",
    // "ShowCard".
    QStringList viewerCalls;
    FieldRecord viewedDetail;

    // Used by the fake service objects.
    void called(const QString &member, const QString &hostProps, const QString &call = {});

private:
    std::vector<std::unique_ptr<ScopedRegistration>> m_registrations;
};

} // namespace AllocFix::Testing
