#include "accountset/AccountSet.h"
#include "accountset/AccountSetErrors.h"
#include "support/AccountSetBackends.h"
#include "support/AccountSetDump.h"
#include "support/DemoOperations.h"
#include "support/InjectedFault.h"

#include <QFile>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace FixedAssets;
using namespace FixedAssets::Testing;

Q_DECLARE_METATYPE(CardOperation)
Q_DECLARE_METATYPE(FaultAction)

class tst_WriteFaults : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { FixedAssets::Testing::useEnglishTexts(); }
    void cleanup();

    void faultMidWriteChangesNothing_data();
    void faultMidWriteChangesNothing();
    void fullDiskChangesNoByte_data();
    void fullDiskChangesNoByte();
};

void tst_WriteFaults::cleanup()
{
    AccountSet::closeAll();
}

void tst_WriteFaults::faultMidWriteChangesNothing_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<CardOperation>("operation");
    QTest::addColumn<QString>("where"); // which row written by the operation fails
    QTest::addColumn<FaultAction>("action");
    const QList<std::pair<CardOperation, const char *>> operations{
        {CardOperation::Save, "save"}, {CardOperation::Adjust, "adjustment"}};
    for (const QString &backend : Backends) {
        for (const auto &[operation, name] : operations) {
            for (const char *where : {"first write", "middle write", "last write"}) {
                QTest::addRow("%s, %s, %s", qPrintable(backend), name, where)
                    << backend << operation << QString::fromLatin1(where) << FaultAction::Raise;
            }
        }
    }
    // An administrator ends the server's side of the connection (pg_terminate_backend).
    for (const auto &[operation, name] : operations) {
        QTest::addRow("postgresql, %s, connection ended", name)
            << u"postgresql"_s << operation << u"middle write"_s << FaultAction::EndConnection;
    }
}

void tst_WriteFaults::faultMidWriteChangesNothing()
{
    QFETCH(CardOperation, operation);
    QFETCH(QString, where);
    QFETCH(FaultAction, action);
    FETCH_ACCOUNT_SET_LOCATION(location);

    // How many rows the operation writes, counted on a set of its own (10 cards).
    QString set = prepareDemoSet(location, operation, 10);
    injectWriteFault(AccountSet::open(set), 0);
    runCardOperation(operation, set);
    const int writes = writesCounted(AccountSet::open(set));
    QVERIFY(writes > 10);
    const int failAt =
        where.startsWith(u"first") ? 1 : (where.startsWith(u"middle") ? (writes + 1) / 2 : writes);

    set = prepareDemoSet(location, operation, 10);
    injectWriteFault(AccountSet::open(set), failAt, action);
    const QStringList before = dumpAccountSet(AccountSet::open(set));
    QVERIFY_THROWS_EXCEPTION(AllocFix::Failure, runCardOperation(operation, set));
    // The next call gets a working connection from the pool, and finds nothing changed.
    QCOMPARE(dumpAccountSet(AccountSet::open(set)), before);

    // Nothing is left half done: the same operation goes through once the fault is gone.
    removeWriteFault(AccountSet::open(set));
    runCardOperation(operation, set);
}

void tst_WriteFaults::fullDiskChangesNoByte_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<CardOperation>("operation");
    QTest::newRow("save") << u"sqlite"_s << CardOperation::Save;
    QTest::newRow("adjustment") << u"sqlite"_s << CardOperation::Adjust;
}

void tst_WriteFaults::fullDiskChangesNoByte()
{
    QFETCH(CardOperation, operation);
    FETCH_ACCOUNT_SET_LOCATION(location);
    const QString set = prepareDemoSet(location, operation, 200);
    const QString path = AccountSetLocation::parse(set).path;
    const auto bytes = [&path] {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray before = bytes();

    {
        // The file may not grow: as on a full disk.
        const AccountSet accountSet = AccountSet::open(set);
        accountSet.exec(u"PRAGMA max_page_count = "_s +
                        accountSet.scalar(u"PRAGMA page_count"_s).toString());
    }
    try {
        runCardOperation(operation, set);
        QFAIL("the write found room");
    } catch (const AllocFix::Failure &failure) {
        QCOMPARE(failure.number(), AccountSetError::Full);
        for (const QString &part : {path, u"no room left"_s, u"Nothing was saved"_s})
            QVERIFY2(failure.description().contains(part), qPrintable(failure.description()));
    }
    AccountSet::closeAll();
    QCOMPARE(bytes(), before);
}

QTEST_GUILESS_MAIN(tst_WriteFaults)
#include "tst_writefaults.moc"
