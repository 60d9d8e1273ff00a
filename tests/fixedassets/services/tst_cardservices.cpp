#include "accountset/AccountSet.h"
#include "accountset/AccountSetErrors.h"
#include "accountset/DemoData.h"
#include "allocation/AllocationTexts.h"
#include "contracts/AccountServices.h"
#include "contracts/CardServices.h"
#include "contracts/ItemService.h"
#include "desktop/SharedProperties.h"
#include "entry/ComponentUnload.h"
#include "host/ByName.h"
#include "host/ObjectRegistry.h"
#include "host/ProgIds.h"
#include "host/sysObjecs.h"
#include "records/RecordFields.h"
#include "services/Adjustment.h"
#include "services/CardReads.h"
#include "services/CardWriter.h"
#include "services/HostServices.h"
#include "services/RowsJson.h"
#include "support/AccountSetBackends.h"
#include "support/AccountSetDump.h"

#include <QDate>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>

Q_DECLARE_METATYPE(FixedAssets::DemoShape)

using namespace Qt::StringLiterals;
using namespace AllocFix;
using namespace FixedAssets;
using FixedAssets::Testing::addBackendRows;
using FixedAssets::Testing::dumpAccountSet;
using FixedAssets::Testing::pooledConnections;
namespace Fields = AllocFix::Fields;

namespace {

// Reference data (DemoData): departments 201 管理部, 202 财务部, 211 生产一车间, 212 生产二车间,
// 213 质检部, 221 销售部; products 401, 402 (class 4); project 301 (class 3); accounts 660201 and
// 660101 (class 2), 510101 (classes 2, 4), 6602 (not detail level).
struct Item {
    qint32 classId;
    qint32 itemId;
};

struct Row {
    qint32 department; // 0: legacy
    qint32 account;
    QList<Item> items;
    double rate;
};

struct Card {
    qint32 id;
    QString number;
    QString name;
    QList<QPair<qint32, double>> departments;
    QList<Row> rows;
};

// 1 and 7 are adjusted automatically; 3, 2 and 6 (in asset-number order) need manual work;
// 4 (one department) and 5 (rows per department) need nothing.
const QList<Card> &fixtureCards()
{
    static const QList<Card> cards{
        {1, u"FA030"_s, u"办公楼"_s, {{201, 0.5}, {202, 0.5}}, {{0, 660201, {{2, 201}}, 1.0}}},
        {2,
         u"FA020"_s,
         u"数控车床"_s,
         {{211, 0.6}, {212, 0.4}},
         {{0, 510101, {{2, 211}, {4, 401}}, 0.7}, {0, 660201, {{2, 201}}, 0.3}}},
        {3,
         u"FA010"_s,
         u"货车"_s,
         {{221, 0.5}, {201, 0.5}},
         {{0, 660101, {{2, 221}}, 0.5}, {0, 660201, {{2, 201}}, 0.5}}},
        {4, u"FA040"_s, u"服务器"_s, {{202, 1.0}}, {{0, 660201, {{2, 202}}, 1.0}}},
        {5,
         u"FA050"_s,
         u"复印机"_s,
         {{201, 0.5}, {202, 0.5}},
         {{201, 660201, {{2, 201}}, 1.0}, {202, 660201, {{2, 202}}, 1.0}}},
        {6,
         u"FA060"_s,
         u"叉车"_s,
         {{211, 0.5}, {212, 0.5}},
         {{0, 510101, {{2, 211}, {4, 402}}, 1.0}, {211, 660201, {{2, 211}}, 1.0}}},
        {7,
         u"FA070"_s,
         u"加工中心"_s,
         {{211, 0.5}, {212, 0.5}},
         {{0, 510101, {{2, 213}, {4, 401}}, 1.0}}},
    };
    return cards;
}

void addFixtureCards(const AccountSet &set)
{
    for (const Card &card : fixtureCards()) {
        set.exec(
            u"INSERT INTO cards (alter_id, asset_number, asset_name, entry_date, category,"
            " model, site, original_value, accumulated_depreciation, useful_life_months,"
            " depreciation_method, status)"
            " VALUES (?, ?, ?, '2020-05-18', '机器设备', 'M1', '一号厂房', 1000.5, 200.25, 120,"
            " '平均年限法', '使用中')"_s,
            {card.id, card.number, card.name});
        for (qsizetype d = 0; d < card.departments.size(); ++d) {
            set.exec(u"INSERT INTO card_departments (alter_id, seq, dept_id, rate)"
                     " VALUES (?, ?, ?, ?)"_s,
                     {card.id, static_cast<qint32>(d + 1), card.departments[d].first,
                      card.departments[d].second});
        }
    }
}

RecordList itemList(const QList<Item> &wanted)
{
    RecordList items = RecordList::create();
    for (const Item &shape : wanted) {
        FieldRecord item = FieldRecord::create();
        item.setValue(Fields::FItemClassID, shape.classId);
        item.setValue(Fields::FItemID, shape.itemId);
        items.append(item);
    }
    return items;
}

FieldRecord expenseRow(qint32 cardId, const Row &shape)
{
    FieldRecord row = FieldRecord::create();
    row.setValue(Fields::FAlterID, cardId);
    row.setValue(Fields::FDeptID, shape.department);
    row.setValue(Fields::FAcctID, shape.account);
    row.setValue(Fields::Detail, itemList(shape.items));
    row.setValue(Fields::FRate, shape.rate);
    return row;
}

RecordList expenseRows(qint32 cardId, const QList<Row> &shapes)
{
    RecordList rows = RecordList::create();
    for (const Row &shape : shapes)
        rows.append(expenseRow(cardId, shape));
    return rows;
}

// A save that passes every check, keyed by the positions ReturnExpensInf answers (3, 2, 6).
FieldRecord goodAllocations()
{
    FieldRecord all = FieldRecord::create();
    all.setValue(u"1"_s,
                 expenseRows(3, {{221, 660101, {{2, 221}}, 1.0}, {201, 660201, {{2, 201}}, 1.0}}));
    all.setValue(u"2"_s, expenseRows(2, {{211, 510101, {{2, 211}, {4, 401}}, 0.6},
                                         {211, 660201, {{2, 211}}, 0.4},
                                         {212, 510101, {{2, 212}, {4, 402}}, 1.0}}));
    all.setValue(u"3"_s, expenseRows(6, {{211, 510101, {{2, 211}, {4, 402}}, 1.0},
                                         {212, 510101, {{2, 212}, {4, 402}}, 1.0}}));
    return all;
}

enum class Fault {
    ForeignDepartment,
    UnknownAccount,
    SummaryAccount,
    ItemOfOtherClass,
    RatesShort,
    DepartmentWithoutRows,
    LegacyRowKept,
    RowOfOtherCard,
    RateAsText,
    ZeroRate,
    UnknownPosition,
    LeadingZero,
    NoItems,
    ItemOfClassNotOfTheAccount,
    TwoItemsOfOneClass,
    ItemsOutOfOrder,
    SummaryItem,
    DuplicateRows,
    NoFAlterID,
    RateAboveOne,
    CardMissing,
};

FieldRecord allocationsWith(Fault fault)
{
    FieldRecord all = goodAllocations();
    RecordList card3 = all.value(u"1"_s).toList();
    RecordList card2 = all.value(u"2"_s).toList();
    RecordList card6 = all.value(u"3"_s).toList();
    switch (fault) {
    case Fault::ForeignDepartment:
        card3.at(1).setValue(Fields::FDeptID, 211);
        break;
    case Fault::UnknownAccount:
        card2.at(2).setValue(Fields::FAcctID, 999999);
        break;
    case Fault::SummaryAccount:
        card2.at(2).setValue(Fields::FAcctID, 6602);
        break;
    case Fault::ItemOfOtherClass:
        card6.at(1).value(Fields::Detail).toList().at(2).setValue(Fields::FItemID, 211);
        break;
    case Fault::RatesShort:
        card2.at(2).setValue(Fields::FRate, 0.3);
        break;
    case Fault::DepartmentWithoutRows:
        card6.remove(2);
        break;
    case Fault::LegacyRowKept:
        card3.append(expenseRow(3, {0, 660201, {{2, 201}}, 0.5}));
        break;
    case Fault::RowOfOtherCard:
        card3.at(2).setValue(Fields::FAlterID, 5);
        break;
    case Fault::RateAsText:
        card2.at(3).setValue(Fields::FRate, u"all"_s);
        break;
    case Fault::ZeroRate:
        card3.append(expenseRow(3, {221, 660201, {{2, 221}}, 0.0}));
        break;
    case Fault::UnknownPosition:
        all.setValue(u"4"_s, expenseRows(1, {}));
        break;
    case Fault::LeadingZero:
    case Fault::CardMissing: {
        FieldRecord renamed = FieldRecord::create();
        renamed.setValue(fault == Fault::LeadingZero ? u"01"_s : u"1"_s, card3);
        renamed.setValue(u"2"_s, card2);
        if (fault == Fault::LeadingZero)
            renamed.setValue(u"3"_s, card6);
        return renamed;
    }
    case Fault::NoItems:
        card2.at(2).setValue(Fields::Detail, RecordList::create());
        break;
    case Fault::ItemOfClassNotOfTheAccount:
        card3.at(1).setValue(Fields::Detail, itemList({{3, 301}}));
        break;
    case Fault::TwoItemsOfOneClass:
        card3.at(1).setValue(Fields::Detail, itemList({{2, 221}, {2, 201}}));
        break;
    case Fault::ItemsOutOfOrder:
        card2.at(1).setValue(Fields::Detail, itemList({{4, 401}, {2, 211}}));
        break;
    case Fault::SummaryItem:
        card3.at(2).value(Fields::Detail).toList().at(1).setValue(Fields::FItemID, 200);
        break;
    case Fault::DuplicateRows:
        card2.at(2).setValue(Fields::FAcctID, 510101);
        card2.at(2).setValue(Fields::Detail, card2.at(1).copy().value(Fields::Detail));
        break;
    case Fault::NoFAlterID:
        card6.at(1).setValue(Fields::FAlterID, AllocFix::FieldValue());
        break;
    case Fault::RateAboveOne:
        card3.at(1).setValue(Fields::FRate, 1.5);
        break;
    }
    return all;
}

} // namespace

Q_DECLARE_METATYPE(Fault)
Q_DECLARE_METATYPE(QList<Row>)

class tst_CardServices : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanup();

    void checkCountsTheCardsToAdjust_data();
    void checkCountsTheCardsToAdjust();
    void checkCountsWhatTheAdjustmentLists_data();
    void checkCountsWhatTheAdjustmentLists();
    void adjustmentQueuesManualCardsAndAdjustsTheRest_data();
    void adjustmentQueuesManualCardsAndAdjustsTheRest();
    void legacyRowAfterAGapIsAdjusted_data();
    void legacyRowAfterAGapIsAdjusted();
    void cardQueriesAnswerTheirFields_data();
    void cardQueriesAnswerTheirFields();
    void unknownCardIsAnError_data();
    void unknownCardIsAnError();
    void saveReplacesRowsAndWritesTheAuditLog_data();
    void saveReplacesRowsAndWritesTheAuditLog();
    void saveLeavesExactlyTheGivenRows_data();
    void saveLeavesExactlyTheGivenRows();
    void rejectedSaveChangesNothing_data();
    void rejectedSaveChangesNothing();
    void saveNeedsAPendingAdjustment_data();
    void saveNeedsAPendingAdjustment();
    void adjustmentDateIsRecorded_data();
    void adjustmentDateIsRecorded();
    void itemListServesDepartmentNames_data();
    void itemListServesDepartmentNames();
    void departmentNamesFollowChanges_data();
    void departmentNamesFollowChanges();
    void accountsAreFoundByNumberOrId_data();
    void accountsAreFoundByNumberOrId();
    void accountItemClassesKeepTheirOrder_data();
    void accountItemClassesKeepTheirOrder();
    void serviceObjectsShareOneConnection_data();
    void serviceObjectsShareOneConnection();
    void auditTextReadsBackAsJson_data();
    void auditTextReadsBackAsJson();

private:
    // Creates the fixture account set and points the host property string at it.
    QString prepare(const QString &location);
    ServiceObject<ICardInfo> cardInfo() { return createService<ICardInfo>(ProgId::CardInfo); }
    ServiceObject<ICardUpdate> cardUpdate()
    {
        return createService<ICardUpdate>(ProgId::CardUpdate);
    }
    // Every card's rows, to tell that nothing changed.
    QStringList allRows(const QString &props);
    // "save ID, card, rows before, rows after" of each audit entry.
    QStringList auditLog(const QString &props);
};

QString tst_CardServices::prepare(const QString &location)
{
    AccountSet::create(AccountSetLocation::parse(location), [](const AccountSet &set) {
        addReferenceData(set);
        addFixtureCards(set);
        QList<CardWriter::CardRows> rows;
        for (const Card &card : fixtureCards())
            rows.append({card.id, CardRecordBuilders::rowIds(expenseRows(card.id, card.rows))});
        CardWriter::insertExpenseRows(set, rows);
    });
    const QString props = u"Language=ENG;AcctSet="_s + location + u';';
    publishPropsString(props);
    return props;
}

QStringList tst_CardServices::allRows(const QString &props)
{
    QStringList rows;
    for (const Card &card : fixtureCards()) {
        qint32 id = card.id;
        rows.append(RowsJson::toJson(cardInfo()->GetExpense(props, id)));
    }
    return rows;
}

QStringList tst_CardServices::auditLog(const QString &props)
{
    QSqlQuery query = AccountSet::fromProps(props).exec(
        u"SELECT save_id, alter_id, rows_before, rows_after FROM audit_log ORDER BY entry_id"_s);
    QStringList entries;
    while (query.next()) {
        entries.append(QStringList{query.value(0).toString(), query.value(1).toString(),
                                   query.value(2).toString(), query.value(3).toString()}
                           .join(u' '));
    }
    return entries;
}

void tst_CardServices::initTestCase()
{
    registerHostServices();
}

void tst_CardServices::cleanup()
{
    unloadComponent();
    AccountSet::closeAll();
    clearSharedProperties();
}

void tst_CardServices::checkCountsTheCardsToAdjust_data()
{
    addBackendRows();
}

void tst_CardServices::checkCountsTheCardsToAdjust()
{
    FETCH_ACCOUNT_SET_LOCATION(location);
    const QString props = prepare(location);

    FieldRecord counts = cardInfo()->CheckDataForUpDate(props);
    QCOMPARE(counts.value(Fields::Total).toInt(), 5);
    QCOMPARE(counts.value(Fields::Manual).toInt(), 3);

    cardUpdate()->ReturnExpensInf(props);
    counts = cardInfo()->CheckDataForUpDate(props);
    QCOMPARE(counts.value(Fields::Total).toInt(), 3);
    QCOMPARE(counts.value(Fields::Manual).toInt(), 3);
}

void tst_CardServices::checkCountsWhatTheAdjustmentLists_data()
{
    Testing::addBackendColumn();
    QTest::addColumn<DemoShape>("shape");
    for (const QString &backend : Testing::Backends) {
        QTest::addRow("%s, ledger", qPrintable(backend)) << backend << DemoShape{30};
        QTest::addRow("%s, generated", qPrintable(backend))
            << backend << DemoShape{60, 40, 12, 2, 5};
        // The log of the adjustment is written a few thousand cards at a time.
        QTest::addRow("%s, more cards than the log takes at once", qPrintable(backend))
            << backend << DemoShape{12000, 40, 12, 2, 5};
    }
}

void tst_CardServices::checkCountsWhatTheAdjustmentLists()
{
    FETCH_ACCOUNT_SET_LOCATION(location);
    QFETCH(DemoShape, shape);
    const AccountSet set = AccountSet::open(createDemoAccountSet(location, shape));
    // Rows that make other kinds of card: one legacy row beside an allocated one, one
    // department only.
    set.exec(u"INSERT INTO expense_rows (alter_id, seq, dept_id, account_id, rate)"
             " SELECT alter_id, 9, 0, account_id, rate FROM expense_rows"
             " WHERE alter_id = 1005 AND seq = 1"_s);
    set.exec(u"DELETE FROM card_departments WHERE alter_id = 1001 AND seq > 1"_s);
    const QString props = u"Language=ENG;AcctSet="_s + location + u';';
    const QString logged = u"SELECT count(*) FROM audit_log"_s;
    for (int pass = 0; pass < 2; ++pass) {
        const FieldRecord counts = cardInfo()->CheckDataForUpDate(props);
        const int loggedBefore = set.scalar(logged).toInt();
        const qsizetype manual = cardUpdate()->ReturnExpensInf(props).count();
        // One audit entry per card adjusted by the service.
        const int automatic = set.scalar(logged).toInt() - loggedBefore;
        QCOMPARE(counts.value(Fields::Total).toInt(), automatic + manual);
        QCOMPARE(counts.value(Fields::Manual).toInt(), manual);
        QVERIFY(manual > 0);
    }
    // Each adjusted card is logged once, with the rows it was given.
    QList<qint32> loggedCards;
    for (QSqlQuery query = set.exec(u"SELECT alter_id FROM audit_log"_s); query.next();)
        loggedCards.append(query.value(0).toInt());
    const CardReads::StoredRows stored = CardReads::storedRows(set, loggedCards);
    QSqlQuery audit = set.exec(u"SELECT alter_id, rows_after FROM audit_log"_s);
    qsizetype entries = 0;
    while (audit.next()) {
        ++entries;
        QCOMPARE(audit.value(1).toString(),
                 RowsJson::toJson(stored.cards.value(audit.value(0).toInt())));
    }
    QCOMPARE(entries, stored.cards.size());
    // The program lists the queue a page at a time, as the wizard is given it.
    QList<qint32> listed;
    Adjustment::forEachQueuedCard(set, [&listed](const Adjustment::QueuedCard &card) {
        QCOMPARE(card.position, listed.size() + 1);
        listed.append(card.cardId);
    });
    const RecordList queued = Adjustment::queuedCards(set);
    QCOMPARE(listed.size(), queued.count());
    for (qsizetype p = 1; p <= queued.count(); ++p)
        QCOMPARE(listed.at(p - 1), queued.at(p).value(Fields::FAlterID).toInt());
}

void tst_CardServices::adjustmentQueuesManualCardsAndAdjustsTheRest_data()
{
    addBackendRows();
}

void tst_CardServices::adjustmentQueuesManualCardsAndAdjustsTheRest()
{
    FETCH_ACCOUNT_SET_LOCATION(location);
    const QString props = prepare(location);
    const QStringList before = allRows(props);

    const RecordList manual = cardUpdate()->ReturnExpensInf(props);
    QList<qint32> ids;
    for (qsizetype p = 1; p <= manual.count(); ++p)
        ids.append(manual.at(p).value(Fields::FAlterID).toInt());
    QCOMPARE(ids, (QList<qint32>{3, 2, 6}));

    // One row per department, rate 1, the department as the department item.
    const QStringList after = allRows(props);
    QCOMPARE(after[0], RowsJson::toJson(expenseRows(
                           1, {{201, 660201, {{2, 201}}, 1.0}, {202, 660201, {{2, 202}}, 1.0}})));
    QCOMPARE(after[6],
             RowsJson::toJson(expenseRows(7, {{211, 510101, {{2, 211}, {4, 401}}, 1.0},
                                              {212, 510101, {{2, 212}, {4, 401}}, 1.0}})));
    for (int untouched : {1, 2, 3, 4, 5})
        QCOMPARE(after[untouched], before[untouched]);
    // One audit entry per adjusted card, under one save ID.
    const QStringList expectedAudit{u"1 1 "_s + before[0] + u' ' + after[0],
                                    u"1 7 "_s + before[6] + u' ' + after[6]};
    QCOMPARE(auditLog(props), expectedAudit);

    // Asked again, the queue is rebuilt and the adjusted cards are not touched twice.
    QCOMPARE(cardUpdate()->ReturnExpensInf(props).count(), 3);
    QCOMPARE(allRows(props), after);
    QCOMPARE(auditLog(props), expectedAudit);
}

void tst_CardServices::legacyRowAfterAGapIsAdjusted_data()
{
    addBackendRows();
}

void tst_CardServices::legacyRowAfterAGapIsAdjusted()
{
    FETCH_ACCOUNT_SET_LOCATION(location);
    const QString props = prepare(location);
    // Card 7's only row at place 5, as rows removed before it leave it.
    const AccountSet set = AccountSet::fromProps(props);
    set.exec(u"DELETE FROM expense_row_items WHERE alter_id = 7"_s);
    set.exec(u"UPDATE expense_rows SET seq = 5 WHERE alter_id = 7"_s);
    set.exec(u"INSERT INTO expense_row_items (alter_id, row_seq, seq, class_id, item_id)"
             " VALUES (7, 5, 1, 2, 213), (7, 5, 2, 4, 401)"_s);

    cardUpdate()->ReturnExpensInf(props);

    QCOMPARE(allRows(props)[6],
             RowsJson::toJson(expenseRows(7, {{211, 510101, {{2, 211}, {4, 401}}, 1.0},
                                              {212, 510101, {{2, 212}, {4, 401}}, 1.0}})));
}

void tst_CardServices::cardQueriesAnswerTheirFields_data()
{
    addBackendRows();
}

void tst_CardServices::cardQueriesAnswerTheirFields()
{
    FETCH_ACCOUNT_SET_LOCATION(location);
    const QString props = prepare(location);
    qint32 cardId = 2;

    const RecordList departments = cardInfo()->GetDept(props, cardId);
    QCOMPARE(departments.count(), 2);
    QCOMPARE(departments.at(1).value(Fields::FItemID).toInt(), 211);
    QCOMPARE(departments.at(1).value(Fields::FItemName).toText(), u"生产一车间"_s);
    QCOMPARE(departments.at(2).value(Fields::FRate).toDouble(), 0.4);

    const RecordList rows = cardInfo()->GetExpense(props, cardId);
    QCOMPARE(rows.count(), 2);
    const FieldRecord first = rows.at(1);
    QCOMPARE(first.names(),
             (QStringList{Fields::FAlterID, Fields::FDeptID, Fields::FAcctID, Fields::FAcctNumber,
                          Fields::FAcctName, Fields::Detail, Fields::FRate}));
    QCOMPARE(first.value(Fields::FAlterID).toInt(), 2);
    QCOMPARE(first.value(Fields::FDeptID).toInt(), 0);
    QCOMPARE(first.value(Fields::FAcctNumber).toText(), u"5101.01"_s);
    QCOMPARE(first.value(Fields::FAcctName).toText(), u"制造费用-折旧费"_s);
    QCOMPARE(first.value(Fields::FRate).toDouble(), 0.7);
    QCOMPARE(AllocationTexts::ItemListText(first.value(Fields::Detail).toList()),
             u"/部门-生产一车间/产品线-精密零件"_s);
    QCOMPARE(first.value(Fields::Detail).toList().at(2).value(Fields::FItemID).toInt(), 401);

    const FieldRecord info = cardInfo()->GetCardInf(props, cardId);
    QCOMPARE(info.value(Fields::FDate).toText(), u"2020-05-18"_s);
    QCOMPARE(info.value(Fields::FAssetName).toText(), u"数控车床"_s);
    QCOMPARE(info.value(Fields::FAssetNumber).toText(), u"FA020"_s);

    const FieldRecord detail = cardInfo()->GetDetail(props, cardId);
    QCOMPARE(detail.value(Fields::FAssetNumber).toText(), u"FA020"_s);
    QCOMPARE(detail.value(u"FNetValue"_s).toDouble(), 800.25);
    QCOMPARE(detail.value(u"FDepartments"_s).toText(), u"生产一车间 60%、生产二车间 40%"_s);
    QCOMPARE(cardId, 2);
}

void tst_CardServices::unknownCardIsAnError_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("member");
    for (const QString &backend : Testing::Backends) {
        for (const QString &member :
             {u"GetDept"_s, u"GetExpense"_s, u"GetCardInf"_s, u"GetDetail"_s}) {
            QTest::addRow("%s %s", qPrintable(backend), qPrintable(member)) << backend << member;
        }
    }
}

void tst_CardServices::unknownCardIsAnError()
{
    QFETCH(QString, member);
    FETCH_ACCOUNT_SET_LOCATION(location);
    const QString props = prepare(location);
    qint32 cardId = 404;
    try {
        const auto service = cardInfo();
        if (member == u"GetDept")
            service->GetDept(props, cardId);
        else if (member == u"GetExpense")
            service->GetExpense(props, cardId);
        else if (member == u"GetCardInf")
            service->GetCardInf(props, cardId);
        else
            service->GetDetail(props, cardId);
        QFAIL("an unknown card was answered");
    } catch (const Failure &failure) {
        QCOMPARE(failure.number(), AccountSetError::UnknownCard);
        QVERIFY(failure.description().contains(u"404"_s));
    }
}

void tst_CardServices::saveReplacesRowsAndWritesTheAuditLog_data()
{
    addBackendRows();
}

void tst_CardServices::saveReplacesRowsAndWritesTheAuditLog()
{
    FETCH_ACCOUNT_SET_LOCATION(location);
    const QString props = prepare(location);
    cardUpdate()->ReturnExpensInf(props);
    const QStringList before = allRows(props);
    const FieldRecord allocations = goodAllocations();

    QVERIFY(cardUpdate()->SaveDoubleExpense(props, allocations));

    const QStringList after = allRows(props);
    QCOMPARE(after[2], RowsJson::toJson(allocations.value(u"1"_s).toList()));
    QCOMPARE(after[1], RowsJson::toJson(allocations.value(u"2"_s).toList()));
    QCOMPARE(after[5], RowsJson::toJson(allocations.value(u"3"_s).toList()));
    for (int untouched : {0, 3, 4, 6})
        QCOMPARE(after[untouched], before[untouched]);

    const AccountSet set = AccountSet::fromProps(props);
    // After the adjustment's entries (save ID 1).
    QSqlQuery audit = set.exec(u"SELECT save_id, saved_at, user_name, alter_id, rows_before,"
                               " rows_after FROM audit_log WHERE save_id > 1 ORDER BY entry_id"_s);
    QList<qint32> cards;
    while (audit.next()) {
        QCOMPARE(audit.value(0).toInt(), 2);
        QVERIFY(QDateTime::fromString(audit.value(1).toString(), Qt::ISODate).isValid());
        QVERIFY(!audit.value(2).toString().isEmpty());
        const qint32 cardId = audit.value(3).toInt();
        cards.append(cardId);
        const qsizetype index = cardId - 1;
        QCOMPARE(audit.value(4).toString(), before[index]);
        QCOMPARE(audit.value(5).toString(), after[index]);
    }
    QCOMPARE(cards, (QList<qint32>{3, 2, 6}));
    QCOMPARE(set.scalar(u"SELECT count(*) FROM manual_queue"_s).toInt(), 0);
    QCOMPARE(cardInfo()->CheckDataForUpDate(props).value(Fields::Total).toInt(), 0);
}

void tst_CardServices::saveLeavesExactlyTheGivenRows_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QStringList>("stored"); // what card 3 holds before the save, besides its rows

    const QString itemsAt = u"INSERT INTO expense_row_items (alter_id, row_seq, seq, class_id,"
                            " item_id) VALUES "_s;
    const QString rowsAt = u"INSERT INTO expense_rows (alter_id, seq, dept_id, account_id, rate)"
                           " VALUES "_s;
    const QList<std::pair<const char *, QStringList>> cases{
        {"as adjusted", {}},
        {"the saved rows already",
         {u"UPDATE expense_rows SET dept_id = 221, rate = 1 WHERE alter_id = 3 AND seq = 1"_s,
          u"UPDATE expense_rows SET dept_id = 201, rate = 1 WHERE alter_id = 3 AND seq = 2"_s}},
        {"more rows than saved",
         {rowsAt + u"(3, 3, 0, 660201, 0.5), (3, 4, 221, 660101, 1)"_s,
          itemsAt + u"(3, 3, 1, 2, 201), (3, 4, 1, 2, 221)"_s}},
        {"more items than saved", {itemsAt + u"(3, 1, 2, 4, 401), (3, 2, 2, 4, 402)"_s}},
        {"rows and items at places with gaps",
         {u"DELETE FROM expense_row_items WHERE alter_id = 3"_s,
          u"UPDATE expense_rows SET seq = seq * 4 + 1 WHERE alter_id = 3"_s,
          itemsAt + u"(3, 5, 3, 2, 221), (3, 9, 2, 2, 201)"_s}},
        {"no rows", {u"DELETE FROM expense_rows WHERE alter_id = 3"_s}},
    };
    for (const QString &backend : Testing::Backends) {
        for (const auto &[name, stored] : cases)
            QTest::addRow("%s, %s", qPrintable(backend), name) << backend << stored;
    }
}

void tst_CardServices::saveLeavesExactlyTheGivenRows()
{
    QFETCH(QStringList, stored);
    FETCH_ACCOUNT_SET_LOCATION(location);
    const QString props = prepare(location);
    cardUpdate()->ReturnExpensInf(props);
    const AccountSet set = AccountSet::fromProps(props);
    for (const QString &sql : std::as_const(stored))
        set.exec(sql);
    const QStringList before = allRows(props);
    const FieldRecord allocations = goodAllocations();

    QVERIFY(cardUpdate()->SaveDoubleExpense(props, allocations));

    const QString saved = RowsJson::toJson(allocations.value(u"1"_s).toList());
    QCOMPARE(allRows(props)[2], saved);
    // Read with the places the rows were given, not the order they are read in.
    QCOMPARE(set.scalar(u"SELECT count(*) FROM expense_rows WHERE alter_id = 3 AND seq IN (1, 2)"
                        " AND EXISTS (SELECT 1 FROM expense_row_items x WHERE x.alter_id = 3"
                        " AND x.row_seq = expense_rows.seq AND x.seq = 1)"_s)
                 .toInt(),
             2);
    QCOMPARE(set.scalar(u"SELECT rows_before || ' ' || rows_after FROM audit_log"
                        " WHERE save_id = 2 AND alter_id = 3"_s)
                 .toString(),
             before[2] + u' ' + saved);
}

void tst_CardServices::rejectedSaveChangesNothing_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<QStringList>("named"); // what the error must name: the card and the row

    const QList<std::tuple<const char *, Fault, QStringList>> faults{
        {"department not of the card", Fault::ForeignDepartment, {u"FA010"_s, u"row 1"_s}},
        {"unknown account", Fault::UnknownAccount, {u"FA020"_s, u"row 2"_s}},
        {"account not at detail level", Fault::SummaryAccount, {u"FA020"_s, u"row 2"_s}},
        {"item of another class", Fault::ItemOfOtherClass, {u"FA060"_s, u"row 1, item 2"_s}},
        {"rates short of 100%", Fault::RatesShort, {u"FA020"_s, u"生产一车间"_s}},
        {"department without rows", Fault::DepartmentWithoutRows, {u"FA060"_s, u"生产二车间"_s}},
        {"legacy row kept", Fault::LegacyRowKept, {u"FA010"_s, u"row 3"_s}},
        {"row of another card", Fault::RowOfOtherCard, {u"FA010"_s, u"row 2"_s}},
        {"rate as text", Fault::RateAsText, {u"FA020"_s, u"row 3"_s}},
        {"rate of zero", Fault::ZeroRate, {u"FA010"_s, u"row 3"_s}},
        {"unknown position", Fault::UnknownPosition, {u"\"4\""_s}},
        {"position with leading zero", Fault::LeadingZero, {u"\"01\""_s}},
        {"no items where the account has classes", Fault::NoItems, {u"FA020"_s, u"row 2"_s}},
        {"item of a class the account lacks",
         Fault::ItemOfClassNotOfTheAccount,
         {u"FA010"_s, u"row 1, item 1"_s}},
        {"two items of one class", Fault::TwoItemsOfOneClass, {u"FA010"_s, u"row 1"_s}},
        {"items out of the account's order",
         Fault::ItemsOutOfOrder,
         {u"FA020"_s, u"row 1, item 1"_s}},
        {"item not at detail level", Fault::SummaryItem, {u"FA010"_s, u"row 2, item 1"_s}},
        {"duplicate rows in a department",
         Fault::DuplicateRows,
         {u"FA020"_s, u"row 2 repeats row 1"_s}},
        {"row without FAlterID", Fault::NoFAlterID, {u"FA060"_s, u"row 1 has no FAlterID"_s}},
        {"rate above 1", Fault::RateAboveOne, {u"FA010"_s, u"row 1"_s}},
        {"a waiting card left out", Fault::CardMissing, {u"FA060"_s, u"position 3"_s}},
    };
    for (const QString &backend : Testing::Backends) {
        for (const auto &[name, fault, named] : faults)
            QTest::addRow("%s, %s", qPrintable(backend), name) << backend << fault << named;
    }
}

void tst_CardServices::rejectedSaveChangesNothing()
{
    QFETCH(Fault, fault);
    QFETCH(QStringList, named);
    FETCH_ACCOUNT_SET_LOCATION(location);
    const QString props = prepare(location);
    cardUpdate()->ReturnExpensInf(props);
    const QStringList before = dumpAccountSet(AccountSet::fromProps(props));

    try {
        cardUpdate()->SaveDoubleExpense(props, allocationsWith(fault));
        QFAIL("the save was accepted");
    } catch (const Failure &failure) {
        QCOMPARE(failure.number(), AccountSetError::SaveRejected);
        for (const QString &part : std::as_const(named))
            QVERIFY2(failure.description().contains(part), qPrintable(failure.description()));
        QVERIFY(failure.description().startsWith(u"Nothing was saved"_s));
    }
    QCOMPARE(dumpAccountSet(AccountSet::fromProps(props)), before);
    // The queue is intact: the corrected save goes through.
    QVERIFY(cardUpdate()->SaveDoubleExpense(props, goodAllocations()));
}

void tst_CardServices::saveNeedsAPendingAdjustment_data()
{
    addBackendRows();
}

void tst_CardServices::saveNeedsAPendingAdjustment()
{
    FETCH_ACCOUNT_SET_LOCATION(location);
    const QString props = prepare(location);
    QVERIFY_THROWS_EXCEPTION(Failure, cardUpdate()->SaveDoubleExpense(props, goodAllocations()));

    cardUpdate()->ReturnExpensInf(props);
    QVERIFY(cardUpdate()->SaveDoubleExpense(props, goodAllocations()));
    const QStringList saved = dumpAccountSet(AccountSet::fromProps(props));
    // The positions are spent: the same save again must not land on other cards.
    QVERIFY_THROWS_EXCEPTION(Failure, cardUpdate()->SaveDoubleExpense(props, goodAllocations()));
    QVERIFY_THROWS_EXCEPTION(Failure, cardUpdate()->SaveDoubleExpense(props, FieldRecord()));
    QCOMPARE(dumpAccountSet(AccountSet::fromProps(props)), saved);
}

void tst_CardServices::adjustmentDateIsRecorded_data()
{
    addBackendRows();
}

void tst_CardServices::adjustmentDateIsRecorded()
{
    FETCH_ACCOUNT_SET_LOCATION(location);
    const QString props = prepare(location);
    QVERIFY(cardUpdate()->AllocFixDate(props));
    QCOMPARE(AccountSet::fromProps(props).profileValue(u"AdjustmentDate"_s),
             QDate::currentDate().toString(Qt::ISODate));
}

void tst_CardServices::itemListServesDepartmentNames_data()
{
    addBackendRows();
}

void tst_CardServices::itemListServesDepartmentNames()
{
    FETCH_ACCOUNT_SET_LOCATION(location);
    const QString props = prepare(location);
    const auto items = createService<IItemInfo>(ProgId::ItemInfo);
    qint32 code = -1;
    QString text = u"stale"_s;
    const auto departments =
        items->GetList(props, DepartmentItemClass, code, missingArgument(), text);
    QCOMPARE(departments->RecordCount(), 12);
    QCOMPARE(code, 0);
    QVERIFY(text.isEmpty());
    departments->MoveFirst();
    departments->Find(u"FItemID = 212"_s);
    QCOMPARE(departments->Field(u"FName"_s).toText(), u"生产二车间"_s);
    // The criterion is parsed, never pasted into a query.
    departments->MoveFirst();
    QVERIFY_THROWS_EXCEPTION(Failure, departments->Find(u"FItemID = 212 OR 1 = 1"_s));
    QVERIFY_THROWS_EXCEPTION(
        Failure, items->GetList(props, DepartmentItemClass, code, u"FDetail = 1"_s, text));

    QCOMPARE(AllocationTexts::DepartmentName(221), u"销售部"_s);
    QCOMPARE(AllocationTexts::DepartmentName(401), QString()); // a product, not a department
}

void tst_CardServices::departmentNamesFollowChanges_data()
{
    Testing::addBackendColumn();
    QTest::addColumn<bool>("otherConnection");
    for (const QString &backend : Testing::Backends) {
        QTest::addRow("%s, this program", qPrintable(backend)) << backend << false;
        QTest::addRow("%s, another connection", qPrintable(backend)) << backend << true;
    }
}

void tst_CardServices::departmentNamesFollowChanges()
{
    FETCH_ACCOUNT_SET_LOCATION(location);
    QFETCH(bool, otherConnection);
    prepare(location);
    QCOMPARE(AllocationTexts::DepartmentName(221), u"销售部"_s);
    QCOMPARE(AllocationTexts::DepartmentName(222), u"市场部"_s);

    const QString rename = u"UPDATE items SET name = '营销一部' WHERE item_id = 221"_s;
    if (otherConnection) {
        const AccountSetLocation parsed = AccountSetLocation::parse(location);
        const SqlDriver driver(parsed.kind);
        {
            QSqlDatabase other = driver.addConnection(parsed, u"other user"_s);
            driver.open(other, parsed);
            QVERIFY(QSqlQuery(other).exec(rename));
        }
        QSqlDatabase::removeDatabase(u"other user"_s);
    } else {
        AccountSet::open(location).exec(rename);
    }
    QCOMPARE(AllocationTexts::DepartmentName(221), u"营销一部"_s);
    QCOMPARE(AllocationTexts::DepartmentName(222), u"市场部"_s);
}

void tst_CardServices::accountsAreFoundByNumberOrId_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QVariant>("key");
    QTest::addColumn<QString>("number"); // empty: no account
    QTest::addColumn<bool>("detail");

    for (const QString &backend : Testing::Backends) {
        const auto row = [&backend](const char *name) -> QTestData & {
            return QTest::addRow("%s, %s", qPrintable(backend), name) << backend;
        };
        row("by number") << QVariant(u"6602.01"_s) << u"6602.01"_s << true;
        row("by number with spaces") << QVariant(u" 5101.01 "_s) << u"5101.01"_s << true;
        row("by ID") << QVariant(660101) << u"6601.01"_s << true;
        row("by ID as a double") << QVariant(510101.0) << u"5101.01"_s << true;
        row("summary account") << QVariant(u"6602"_s) << u"6602"_s << false;
        row("digits are a number, not an ID") << QVariant(u"660201"_s) << QString() << false;
        row("unknown number") << QVariant(u"9999"_s) << QString() << false;
        row("quote in the number") << QVariant(u"1'; DROP TABLE cards;--"_s) << QString() << false;
        row("empty text") << QVariant(QString()) << QString() << false;
        row("no key") << missingArgument() << QString() << false;
    }
}

void tst_CardServices::accountsAreFoundByNumberOrId()
{
    QFETCH(QVariant, key);
    QFETCH(QString, number);
    QFETCH(bool, detail);
    FETCH_ACCOUNT_SET_LOCATION(location);
    const QString props = prepare(location);

    // As the editor asks: by name, on the cached account data object.
    QVariantList args{key};
    const std::unique_ptr<QObject> account =
        ByName::callForObject(sysObjecs::GetGLData(), u"GetAccount"_s, args);
    QCOMPARE(account != nullptr, !number.isEmpty());
    if (account) {
        QCOMPARE(ByName::property(account.get(), u"number"_s).toString(), number);
        QCOMPARE(ByName::property(account.get(), u"detail"_s).toBool(), detail);
        QVERIFY(ByName::property(account.get(), u"AccountID"_s).toInt() > 0);
        QVERIFY(!ByName::property(account.get(), u"name"_s).toString().isEmpty());
    }
    QCOMPARE(AccountSet::fromProps(props).scalar(u"SELECT count(*) FROM cards"_s).toInt(), 7);
}

void tst_CardServices::accountItemClassesKeepTheirOrder_data()
{
    addBackendRows();
}

void tst_CardServices::accountItemClassesKeepTheirOrder()
{
    FETCH_ACCOUNT_SET_LOCATION(location);
    prepare(location);
    auto *accounts = qobject_cast<IAccountData *>(sysObjecs::GetGLData());
    QVERIFY(accounts);

    const auto classes = accounts->GetAccountItem(510101);
    QCOMPARE(classes->RecordCount(), 2);
    classes->MoveFirst();
    QCOMPARE(classes->Field(Fields::FItemClassID).toInt(), 2);
    QCOMPARE(classes->Field(Fields::FItemClassName).toText(), u"部门"_s);
    classes->MoveNext();
    QCOMPARE(classes->Field(Fields::FItemClassID).toInt(), 4);
    QCOMPARE(classes->Field(Fields::FItemClassName).toText(), u"产品线"_s);
    QCOMPARE(accounts->GetAccountItem(1602)->RecordCount(), 0);
    QCOMPARE(accounts->GetAccountItem(-1)->RecordCount(), 0);
}

void tst_CardServices::serviceObjectsShareOneConnection_data()
{
    addBackendRows();
}

void tst_CardServices::serviceObjectsShareOneConnection()
{
    FETCH_ACCOUNT_SET_LOCATION(location);
    const QString props = prepare(location);
    AccountSet::closeAll();
    for (qint32 cardId = 1; cardId <= 7; ++cardId) {
        cardInfo()->GetDept(props, cardId);
        cardInfo()->GetExpense(props, cardId);
    }
    cardUpdate()->ReturnExpensInf(props);
    QCOMPARE(pooledConnections(), 1);
}

void tst_CardServices::auditTextReadsBackAsJson_data()
{
    QTest::addColumn<QList<Row>>("rows");
    QTest::newRow("no rows") << QList<Row>{};
    QTest::newRow("legacy row, no items") << QList<Row>{{0, 6602, {}, 1.0}};
    QTest::newRow("rates a reader must get back exactly")
        << QList<Row>{{201, 660201, {{2, 201}}, 0.5},
                      {202, 660201, {{2, 202}}, 1.0 / 3.0},
                      {203, 510101, {{2, 203}, {4, 2147483647}}, 0.1 + 0.2},
                      {204, 510101, {{2, 204}, {4, 401}}, 1e-7}};
}

void tst_CardServices::auditTextReadsBackAsJson()
{
    QFETCH(QList<Row>, rows);
    QJsonArray expected;
    for (const Row &row : rows) {
        QJsonArray items;
        for (const Item &item : row.items)
            items.append(QJsonArray{item.classId, item.itemId});
        expected.append(QJsonObject{{u"account"_s, row.account},
                                    {u"dept"_s, row.department},
                                    {u"items"_s, items},
                                    {u"rate"_s, row.rate}});
    }
    const QString text = RowsJson::toJson(expenseRows(1, rows));
    QJsonParseError error{};
    const QJsonDocument read = QJsonDocument::fromJson(text.toUtf8(), &error);
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(read.array(), expected);
}

QTEST_MAIN(tst_CardServices)
#include "tst_cardservices.moc"
