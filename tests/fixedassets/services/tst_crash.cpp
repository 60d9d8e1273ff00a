#include "accountset/AccountSet.h"
#include "accountset/DemoData.h"
#include "services/CardUpdateService.h"
#include "support/AccountSetDump.h"
#include "support/WorkerProcess.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace FixedAssets;
using namespace FixedAssets::Testing;

namespace {

constexpr int Cards = 5000; // of which 1,000 need manual work
constexpr int ManualCards = 1000;
constexpr int Kills = 30;
constexpr quint32 Seed = 9;

QString sqlite(const QString &path)
{
    return u"sqlite:"_s + path;
}

// The account set at path, read through a new connection as a program that starts after the
// crash does.
QStringList dumpOf(const QString &path)
{
    const AccountSet set = AccountSet::open(sqlite(path));
    const QString integrity = set.scalar(u"PRAGMA integrity_check"_s).toString();
    const QStringList dump = dumpAccountSet(set);
    AccountSet::closeAll();
    return integrity == u"ok" ? dump : QStringList{u"integrity_check: "_s + integrity};
}

} // namespace

class tst_Crash : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void killedSaveLeavesTheSetAsBeforeOrAfter();
};

void tst_Crash::killedSaveLeavesTheSetAsBeforeOrAfter()
{
    const QTemporaryDir folder;
    const QString before = folder.filePath(u"before.fa"_s);
    CardUpdateService().ReturnExpensInf(u"AcctSet="_s +
                                        createDemoAccountSet(sqlite(before), Cards));
    QCOMPARE(
        AccountSet::open(sqlite(before)).scalar(u"SELECT count(*) FROM manual_queue"_s).toInt(),
        ManualCards);
    AccountSet::closeAll(); // the last connection folds the log into the file
    const QStringList beforeDump = dumpOf(before);
    const auto copyOfBefore = [&](const QString &name) {
        const QString path = folder.filePath(name);
        return QFile::copy(before, path) ? path : QString();
    };

    // One save to its end: the set after it, and how long the writing takes.
    const QString reference = copyOfBefore(u"after.fa"_s);
    QElapsedTimer writing;
    {
        WorkerProcess worker({u"save"_s, sqlite(reference)});
        QVERIFY(worker.waitForLine("writing"));
        writing.start();
        QCOMPARE(worker.finish(), 0);
    }
    const qint64 writingMs = writing.elapsed();
    const QStringList afterDump = dumpOf(reference);
    QVERIFY(afterDump != beforeDump);

    QRandomGenerator random(Seed);
    int asBefore = 0;
    for (int kill = 1; kill <= Kills; ++kill) {
        const QString path = copyOfBefore(u"kill%1.fa"_s.arg(kill));
        {
            WorkerProcess worker({u"save"_s, sqlite(path)});
            QVERIFY(worker.waitForLine("writing"));
            QTest::qSleep(static_cast<int>(random.bounded(writingMs + 1)));
            worker.process().kill();
            worker.finish();
        }
        const QStringList dump = dumpOf(path);
        QVERIFY2(
            dump == beforeDump || dump == afterDump,
            qPrintable(u"kill %1: the set is neither as before nor as after the save: %2"_s.arg(
                QString::number(kill), dump.value(0))));
        asBefore += dump == beforeDump ? 1 : 0;
    }
    qInfo("%d kills in %lld ms of writing: %d left the set as before the save, %d as after it",
          Kills, writingMs, asBefore, Kills - asBefore);
}

QTEST_GUILESS_MAIN(tst_Crash)
#include "tst_crash.moc"
