#include "accountset/AccountSet.h"
#include "accountset/AccountSetErrors.h"
#include "accountset/DemoData.h"
#include "allocation/RecordFields.h"
#include "services/CardInfoService.h"
#include "services/CardUpdateService.h"
#include "support/AccountSetBackends.h"
#include "support/AccountSetDump.h"
#include "support/DemoAllocations.h"
#include "support/InjectedFault.h"

#include <QFile>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace FixedAssets;
using namespace FixedAssets::Testing;
using AllocFix::FieldRecord;

namespace {

enum class Operation { Save, Adjust };

struct Prepared {
    QString props;
    FieldRecord allocations; // for a save
};

// A demo set (of 10 cards: six adjusted automatically, two manual); for a save, adjusted
// already.
Prepared prepare(const QString &location, Operation operation, int cards = 10)
{
    const QString canonical = createDemoAccountSet(location, cards);
    Prepared prepared{u"AcctSet="_s + canonical + u';', {}};
    if (operation == Operation::Save) {
        CardUpdateService().ReturnExpensInf(prepared.props);
        prepared.allocations = allocationsForQueue(AccountSet::open(canonical));
    }
    return prepared;
}

void run(Operation operation, const Prepared &prepared)
{
    if (operation == Operation::Save)
        CardUpdateService().SaveDoubleExpense(prepared.props, prepared.allocations);
    else
        CardUpdateService().ReturnExpensInf(prepared.props);
}

} // namespace

Q_DECLARE_METATYPE(Operation)
Q_DECLARE_METATYPE(FaultAction)

class tst_WriteFaults : public QObject {
    Q_OBJECT

private Q_SLOTS:
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
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<QString>("where"); // which insert of the operation fails
    QTest::addColumn<FaultAction>("action");
    const QList<std::pair<Operation, const char *>> operations{{Operation::Save, "save"},
                                                               {Operation::Adjust, "adjustment"}};
    for (const QString &backend : Backends) {
        for (const auto &[operation, name] : operations) {
            for (const char *where : {"first insert", "middle insert", "last insert"}) {
                QTest::addRow("%s, %s, %s", qPrintable(backend), name, where)
                    << backend << operation << QString::fromLatin1(where) << FaultAction::Raise;
            }
        }
    }
    // An administrator ends the server's side of the connection (pg_terminate_backend).
    for (const auto &[operation, name] : operations) {
        QTest::addRow("postgresql, %s, connection ended", name)
            << u"postgresql"_s << operation << u"middle insert"_s << FaultAction::EndConnection;
    }
}

void tst_WriteFaults::faultMidWriteChangesNothing()
{
    QFETCH(Operation, operation);
    QFETCH(QString, where);
    QFETCH(FaultAction, action);
    FETCH_ACCOUNT_SET_LOCATION(location);

    // How many rows the operation inserts, counted on a set of its own.
    Prepared prepared = prepare(location, operation);
    injectInsertFault(AccountSet::open(location), 0);
    run(operation, prepared);
    const int inserts = insertsCounted(AccountSet::open(location));
    QVERIFY(inserts > 10);
    const int failAt = where.startsWith(u"first")
                           ? 1
                           : (where.startsWith(u"middle") ? (inserts + 1) / 2 : inserts);

    prepared = prepare(location, operation);
    injectInsertFault(AccountSet::open(location), failAt, action);
    const QStringList before = dumpAccountSet(AccountSet::open(location));
    QVERIFY_THROWS_EXCEPTION(AllocFix::Failure, run(operation, prepared));
    // The next call gets a working connection from the pool, and finds nothing changed.
    QCOMPARE(dumpAccountSet(AccountSet::open(location)), before);

    // Nothing is left half done: the same operation goes through once the fault is gone.
    removeInsertFault(AccountSet::open(location));
    run(operation, prepared);
}

void tst_WriteFaults::fullDiskChangesNoByte_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<Operation>("operation");
    QTest::newRow("save") << u"sqlite"_s << Operation::Save;
    QTest::newRow("adjustment") << u"sqlite"_s << Operation::Adjust;
}

void tst_WriteFaults::fullDiskChangesNoByte()
{
    QFETCH(Operation, operation);
    FETCH_ACCOUNT_SET_LOCATION(location);
    const Prepared prepared = prepare(location, operation, 200);
    const QString path = AccountSet::open(location).location().path;
    AccountSet::closeAll();
    const auto bytes = [&path] {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray before = bytes();

    {
        // The file may not grow: as on a full disk.
        const AccountSet set = AccountSet::open(location);
        set.exec(u"PRAGMA max_page_count = "_s + set.scalar(u"PRAGMA page_count"_s).toString());
    }
    try {
        run(operation, prepared);
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
