// What the integrity check costs on SQLite account sets of 100,000 and 1,000,000 demo cards, beside
// the check of the cards it guards and SQLite's full integrity_check. The services run it once
// per process and account set: at the first check of the cards or the first write.
//
// The sets are built once (minutes for the larger) and kept in ALLOCFIX_BENCH_FOLDER, by default
// <temp>/allocfix-bench-integrity, for the next run.
#include "accountset/AccountSet.h"
#include "accountset/DemoData.h"
#include "services/CardInfoService.h"

#include <QDir>
#include <QFileInfo>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace FixedAssets;

namespace {

QString benchFolder()
{
    const QString folder = qEnvironmentVariable(
        "ALLOCFIX_BENCH_FOLDER", QDir::temp().filePath(u"allocfix-bench-integrity"_s));
    QDir().mkpath(folder);
    return folder;
}

// The demo set of that many cards, built unless an earlier run left it.
QString demoSet(int cards)
{
    const QString path = QDir(benchFolder()).filePath(u"cards-%1.fa"_s.arg(cards));
    const QString location = u"sqlite:"_s + path;
    if (QFileInfo::exists(path)) {
        const int found =
            AccountSet::open(location).scalar(u"SELECT count(*) FROM cards"_s).toInt();
        AccountSet::closeAll();
        if (found == cards)
            return location;
    }
    createDemoAccountSet(location, cards);
    AccountSet::closeAll();
    return location;
}

void addSizes()
{
    QTest::addColumn<int>("cards");
    QTest::newRow("100000 cards") << 100000;
    QTest::newRow("1000000 cards") << 1000000;
}

} // namespace

class bench_Integrity : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { AccountSet::closeAll(); }

    void integrityCheckOnce_data() { addSizes(); }
    void integrityCheckOnce();
    void checkOfTheCards_data() { addSizes(); }
    void checkOfTheCards();
    void fullIntegrityCheck_data() { addSizes(); }
    void fullIntegrityCheck();
};

// What the first check of the cards or the first write adds in a process.
void bench_Integrity::integrityCheckOnce()
{
    QFETCH(int, cards);
    const QString location = demoSet(cards);
    qInfo("%s: %.1f MB", qPrintable(location),
          static_cast<double>(QFileInfo(location.mid(7)).size()) / (1024.0 * 1024.0));
    QBENCHMARK
    {
        AccountSet::closeAll(); // a new process, as far as the check knows
        AccountSet::open(location).requireWritableAndIntact();
    }
}

// The check of the cards once the integrity is known: what the counts cost by themselves.
void bench_Integrity::checkOfTheCards()
{
    QFETCH(int, cards);
    const QString props = u"Language=CHS;AcctSet="_s + demoSet(cards) + u';';
    AccountSet::fromProps(props).requireWritableAndIntact();
    QBENCHMARK
    {
        CardInfoService().CheckDataForUpDate(props);
    }
}

// SQLite's full check, which also reads every index against its table: the cost avoided.
void bench_Integrity::fullIntegrityCheck()
{
    QFETCH(int, cards);
    const AccountSet set = AccountSet::open(demoSet(cards));
    QBENCHMARK
    {
        QCOMPARE(set.scalar(u"PRAGMA integrity_check"_s).toString(), u"ok"_s);
    }
}

int main(int argc, char *argv[])
{
    // Building the larger set takes longer than QtTest lets one function run.
    if (!qEnvironmentVariableIsSet("QTEST_FUNCTION_TIMEOUT"))
        qputenv("QTEST_FUNCTION_TIMEOUT", "7200000");
    QCoreApplication app(argc, argv);
    bench_Integrity bench;
    return QTest::qExec(&bench, argc, argv);
}
#include "bench_integrity.moc"
