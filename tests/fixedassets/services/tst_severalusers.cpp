#include "accountset/AccountSet.h"
#include "accountset/AccountSetErrors.h"
#include "accountset/DemoData.h"
#include "accountset/Schema.h"
#include "records/RecordFields.h"
#include "services/AuditLog.h"
#include "services/CardInfoService.h"
#include "services/CardReads.h"
#include "services/RowsJson.h"
#include "support/AccountSetBackends.h"
#include "support/AccountSetDump.h"
#include "support/DemoOperations.h"
#include "support/OlderAccountSet.h"
#include "support/WorkerProcess.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using namespace FixedAssets;
using namespace FixedAssets::Testing;
using AllocFix::FieldRecord;
namespace Fields = AllocFix::Fields;

namespace {

// 100 demo cards: 60 adjusted automatically, 20 manual.
constexpr int Cards = 100;
constexpr int ManualCards = 20;

std::pair<int, int> checkCounts(const QString &location)
{
    const FieldRecord counts = CardInfoService().CheckDataForUpDate(u"AcctSet="_s + location);
    return {counts.value(Fields::Total).toInt(), counts.value(Fields::Manual).toInt()};
}

} // namespace

Q_DECLARE_METATYPE(CardOperation)

class tst_SeveralUsers : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { FixedAssets::Testing::useEnglishTexts(); }
    void cleanup();

    void aReaderDoesNotWaitForAnAdjustment_data();
    void aReaderDoesNotWaitForAnAdjustment();
    void aWriterWaitsForAnotherUsersWrite_data();
    void aWriterWaitsForAnotherUsersWrite();
    void twoSavesAtOnceLoseNothing_data();
    void twoSavesAtOnceLoseNothing();
    void twoWritersKeepOneAuditChain_data();
    void twoWritersKeepOneAuditChain();
    void twoProgramsUpgradeAnOldSetOnce_data();
    void twoProgramsUpgradeAnOldSetOnce();
};

void tst_SeveralUsers::cleanup()
{
    AccountSet::closeAll();
}

void tst_SeveralUsers::aReaderDoesNotWaitForAnAdjustment_data()
{
    addBackendRows();
}

void tst_SeveralUsers::aReaderDoesNotWaitForAnAdjustment()
{
    FETCH_ACCOUNT_SET_LOCATION(location);
    const QString set = prepareDemoSet(location, CardOperation::Adjust, Cards);

    WorkerProcess writer({u"adjust-and-hold"_s, set, u"-1"_s});
    QVERIFY(writer.waitForLine("holding"));
    // Opened anew and checked while the other user's adjustment is under way: the counts
    // before it.
    QCOMPARE(checkCounts(set), std::pair(Cards * 4 / 5, ManualCards));
    AccountSet::closeAll();
    QCOMPARE(writer.finish(), 0);
    QCOMPARE(checkCounts(set), std::pair(ManualCards, ManualCards));
}

void tst_SeveralUsers::aWriterWaitsForAnotherUsersWrite_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<CardOperation>("operation");
    QTest::addColumn<bool>("tooLong"); // the other user holds the lock past the writer's wait
    for (const QString &backend : Backends) {
        for (const bool tooLong : {false, true}) {
            const char *hold = tooLong ? "lock held too long" : "lock held briefly";
            QTest::addRow("%s, save, %s", qPrintable(backend), hold)
                << backend << CardOperation::Save << tooLong;
            QTest::addRow("%s, adjustment, %s", qPrintable(backend), hold)
                << backend << CardOperation::Adjust << tooLong;
        }
    }
}

void tst_SeveralUsers::aWriterWaitsForAnotherUsersWrite()
{
    QFETCH(CardOperation, operation);
    QFETCH(bool, tooLong);
    FETCH_ACCOUNT_SET_LOCATION(location);
    const QString set = prepareDemoSet(location, operation, Cards);
    const QStringList before = dumpAccountSet(AccountSet::open(set));
    AccountSet::closeAll();

    // Held briefly: far shorter than a writer waits. Too long: until told, at most four times
    // as long as a writer waits.
    const int holdMs = tooLong ? 4 * SqlDriver::LockTimeoutMs : 300;
    WorkerProcess other({u"adjust-and-hold"_s, set, QString::number(holdMs)});
    QVERIFY(other.waitForLine("holding"));
    if (tooLong) {
        try {
            runCardOperation(operation, set);
            QFAIL("the write went through while another user held the lock");
        } catch (const AllocFix::Failure &failure) {
            QCOMPARE(failure.number(), AccountSetError::Busy);
            for (const QString &part :
                 {set, u"Another user is changing"_s, u"Nothing was saved"_s, u"try again"_s}) {
                QVERIFY2(failure.description().contains(part), qPrintable(failure.description()));
            }
        }
        QCOMPARE(dumpAccountSet(AccountSet::open(set)), before);
        // Tried again once the other user is done, it goes through on the same connection.
        other.release();
        QVERIFY(other.waitForLine("done"));
    }
    runCardOperation(operation, set);
    QCOMPARE(other.finish(), 0);
    QCOMPARE(checkCounts(set).first, operation == CardOperation::Save ? 0 : ManualCards);
}

void tst_SeveralUsers::twoSavesAtOnceLoseNothing_data()
{
    addBackendRows();
}

void tst_SeveralUsers::twoSavesAtOnceLoseNothing()
{
    FETCH_ACCOUNT_SET_LOCATION(location);
    const QString set = prepareDemoSet(location, CardOperation::Save, Cards);
    const FieldRecord allocations = allocationsForQueue(AccountSet::open(set));
    AccountSet::closeAll();

    WorkerProcess first({u"save"_s, set, u"together"_s});
    WorkerProcess second({u"save"_s, set, u"together"_s});
    QVERIFY(first.waitForLine("ready"));
    QVERIFY(second.waitForLine("ready"));
    first.release();
    second.release();
    const int firstStatus = first.finish();
    const int secondStatus = second.finish();
    QCOMPARE(QList<int>({firstStatus, secondStatus}).count(0), 1);
    const QString refused = firstStatus == 0 ? second.output() : first.output();
    QVERIFY2(refused.contains(u"Another user is changing"_s) ||
                 refused.contains(u"check the cards again"_s),
             qPrintable(refused));

    // The winner's save is whole: every card's rows, one audit entry each under one save ID.
    const AccountSet accountSet = AccountSet::open(set);
    for (const QString &position : allocations.names()) {
        const AllocFix::RecordList rows = allocations.value(position).toList();
        QCOMPARE(RowsJson::toJson(CardReads::expenseRows(
                     accountSet, rows.at(1).value(Fields::FAlterID).toInt())),
                 RowsJson::toJson(rows));
    }
    QCOMPARE(accountSet.scalar(u"SELECT count(*) FROM audit_log WHERE save_id = 2"_s).toInt(),
             ManualCards);
    QCOMPARE(accountSet.scalar(u"SELECT max(save_id) FROM audit_log"_s).toInt(), 2);
}

void tst_SeveralUsers::twoWritersKeepOneAuditChain_data()
{
    addBackendRows();
}

void tst_SeveralUsers::twoWritersKeepOneAuditChain()
{
    FETCH_ACCOUNT_SET_LOCATION(location);
    const QString set = createDemoAccountSet(location, 0);
    AccountSet::closeAll();
    constexpr int Saves = 30;
    WorkerProcess first({u"audit"_s, set, QString::number(Saves)});
    WorkerProcess second({u"audit"_s, set, QString::number(Saves)});
    QVERIFY(first.waitForLine("ready"));
    QVERIFY(second.waitForLine("ready"));
    first.release();
    second.release();
    QCOMPARE(first.finish(), 0);
    QCOMPARE(second.finish(), 0);

    const AuditChainCheck check = checkAuditChain(AccountSet::open(set));
    QCOMPARE(int(check.fault), int(AuditChainCheck::Fault::None));
    QCOMPARE(check.entries, qint64(4 * Saves));
}

void tst_SeveralUsers::twoProgramsUpgradeAnOldSetOnce_data()
{
    addBackendRows();
}

void tst_SeveralUsers::twoProgramsUpgradeAnOldSetOnce()
{
    FETCH_ACCOUNT_SET_LOCATION(location);
    createOlderAccountSet(location, 1, 20);
    const AccountSetLocation parsed = AccountSetLocation::parse(location);

    // A third program holds the write lock until both have read the old version.
    const SqlDriver driver(parsed.kind);
    {
        QSqlDatabase holder = driver.addConnection(parsed, u"holder"_s);
        driver.open(holder, parsed);
        QCOMPARE(driver.beginWrite(holder).type(), QSqlError::NoError);
        WorkerProcess first({u"open"_s, location});
        WorkerProcess second({u"open"_s, location});
        QVERIFY(first.waitForLine("opening"));
        QVERIFY(second.waitForLine("opening"));
        QTest::qWait(500); // for both to reach the lock; shorter only lets the race go untried
        holder.rollback();
        QCOMPARE(first.finish(), 0);
        QCOMPARE(second.finish(), 0);
        holder.close();
    }
    QSqlDatabase::removeDatabase(u"holder"_s);

    const AccountSet set = AccountSet::open(location);
    QCOMPARE(Schema::versionOf(set), Schema::CurrentVersion);
    QCOMPARE(set.scalar(u"SELECT count(*) FROM audit_log"_s).toInt(), 0);
    QCOMPARE(set.scalar(u"SELECT count(*) FROM cards"_s).toInt(), 20);
}

QTEST_GUILESS_MAIN(tst_SeveralUsers)
#include "tst_severalusers.moc"
