#include "accountset/AccountSet.h"
#include "accountset/AccountSetErrors.h"
#include "accountset/DemoData.h"
#include "services/CardInfoService.h"
#include "services/CardUpdateService.h"
#include "support/AccountSetBackends.h"

#include <QFile>
#include <QRandomGenerator>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace FixedAssets;

namespace {

// The three calls that begin the work on an account set: each must refuse a set it cannot
// trust before it reads a count or writes a row.
enum class Call { Check, Adjust, Date };

void call(Call which, const QString &props)
{
    switch (which) {
    case Call::Check:
        CardInfoService().CheckDataForUpDate(props);
        break;
    case Call::Adjust:
        CardUpdateService().ReturnExpensInf(props);
        break;
    case Call::Date:
        CardUpdateService().AllocFixDate(props);
        break;
    }
}

AllocFix::Failure failureOf(Call which, const QString &props)
{
    try {
        call(which, props);
    } catch (const AllocFix::Failure &failure) {
        return failure;
    }
    return AllocFix::Failure(0, u"no error"_s);
}

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString propsFor(const QString &location)
{
    return u"Language=CHS;AcctSet="_s + location + u';';
}

void addCalls()
{
    QTest::addColumn<Call>("which");
    for (const auto &[name, which] :
         {std::pair{"check", Call::Check}, std::pair{"adjust", Call::Adjust},
          std::pair{"date", Call::Date}})
        QTest::newRow(name) << which;
}

} // namespace

Q_DECLARE_METATYPE(Call)

class tst_Guards : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { FixedAssets::Testing::useEnglishTexts(); }
    void cleanup();

    void damagedSetIsRefusedUntouched_data();
    void damagedSetIsRefusedUntouched();
    void readOnlySetIsToldBeforeAnyWork_data();
    void readOnlySetIsToldBeforeAnyWork();
    void readOnlyServerIsToldAtTheCheck();
    void lostConnectionNamesItsCause();
};

void tst_Guards::cleanup()
{
    AccountSet::closeAll();
}

void tst_Guards::damagedSetIsRefusedUntouched_data()
{
    addCalls();
}

void tst_Guards::damagedSetIsRefusedUntouched()
{
    QFETCH(Call, which);
    const QTemporaryDir folder;
    const QString location = createDemoAccountSet(u"sqlite:"_s + folder.filePath(u"set.fa"_s), 50);
    {
        // Pages at the end of the file that no count reads: only an integrity check finds
        // damage there before a write lands beside it.
        const AccountSet set = AccountSet::open(location);
        set.exec(u"CREATE TABLE filler (text TEXT)"_s);
        for (int i = 0; i < 200; ++i)
            set.exec(u"INSERT INTO filler (text) VALUES (?)"_s, {QString(2000, u'x')});
    }
    AccountSet::closeAll();
    const QString path = folder.filePath(u"set.fa"_s);
    {
        constexpr qint64 Page = 4096;
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QRandomGenerator noise(20);
        QByteArray garbage(20 * Page, Qt::Uninitialized);
        noise.fillRange(reinterpret_cast<quint32 *>(garbage.data()), garbage.size() / 4);
        QVERIFY(file.seek(file.size() - 40 * Page));
        QCOMPARE(file.write(garbage), garbage.size());
    }
    const QByteArray before = bytesOf(path);

    const AllocFix::Failure failure = failureOf(which, propsFor(location));
    QCOMPARE(failure.number(), AccountSetError::Damaged);
    QVERIFY2(failure.description().contains(u"is damaged"_s), qPrintable(failure.description()));
    QVERIFY(failure.description().contains(u"restore it from a backup"_s));
    QCOMPARE(failure.description().count(u'\n'), 0);
    AccountSet::closeAll();
    QVERIFY(bytesOf(path) == before);
}

void tst_Guards::readOnlySetIsToldBeforeAnyWork_data()
{
    QTest::addColumn<Call>("which");
    QTest::addColumn<bool>("folderReadOnly");
    for (const bool folderReadOnly : {false, true}) {
        for (const auto &[name, which] :
             {std::pair{"check", Call::Check}, std::pair{"adjust", Call::Adjust},
              std::pair{"date", Call::Date}}) {
            QTest::addRow("%s, read-only %s", name, folderReadOnly ? "folder" : "file")
                << which << folderReadOnly;
        }
    }
}

void tst_Guards::readOnlySetIsToldBeforeAnyWork()
{
    QFETCH(Call, which);
    QFETCH(bool, folderReadOnly);
    const QTemporaryDir folder;
    const QString path = folder.filePath(u"set.fa"_s);
    const QString location = createDemoAccountSet(u"sqlite:"_s + path, 10);
    AccountSet::closeAll();
    const QString readOnly = folderReadOnly ? folder.path() : path;
    const QFile::Permissions writable = QFile::permissions(readOnly);
    QVERIFY(QFile::setPermissions(readOnly, writable & ~(QFile::WriteOwner | QFile::WriteUser |
                                                         QFile::WriteGroup | QFile::WriteOther)));
    const auto restore = qScopeGuard([&] { QFile::setPermissions(readOnly, writable); });
    const QByteArray before = bytesOf(path);

    const AllocFix::Failure failure = failureOf(which, propsFor(location));
    QCOMPARE(failure.number(), AccountSetError::ReadOnly);
    QVERIFY2(failure.description().contains(u"is read-only: "_s +
                                            (folderReadOnly ? u"its folder"_s : u"the file"_s)),
             qPrintable(failure.description()));
    AccountSet::closeAll();
    QVERIFY(bytesOf(path) == before);
}

void tst_Guards::readOnlyServerIsToldAtTheCheck()
{
    const QString url = qEnvironmentVariable("ALLOCFIX_TEST_PG_URL");
    if (url.isEmpty())
        QSKIP(Testing::PostgresMissing);
    const QString location = createDemoAccountSet(url, 10);
    const QString database = AccountSetLocation::parse(url).database;
    AccountSet::open(location).exec(u"ALTER DATABASE "_s + database +
                                    u" SET default_transaction_read_only = on"_s);
    const auto restore = qScopeGuard([&location, &database] {
        const AccountSet set = AccountSet::open(location);
        set.exec(u"SET default_transaction_read_only = off"_s);
        set.exec(u"ALTER DATABASE "_s + database + u" RESET default_transaction_read_only"_s);
    });
    AccountSet::closeAll(); // new connections take the setting

    const AllocFix::Failure failure = failureOf(Call::Check, propsFor(location));
    QCOMPARE(failure.number(), AccountSetError::ReadOnly);
    QVERIFY2(failure.description().contains(u"transaction_read_only"_s),
             qPrintable(failure.description()));
}

void tst_Guards::lostConnectionNamesItsCause()
{
    const QString url = qEnvironmentVariable("ALLOCFIX_TEST_PG_URL");
    if (url.isEmpty())
        QSKIP(Testing::PostgresMissing);
    const QString location = createDemoAccountSet(url, 10);
    const AccountSet set = AccountSet::open(location);
    // The server ends the connection in the middle of the adjustment's writes.
    set.exec(u"CREATE FUNCTION end_connection() RETURNS trigger LANGUAGE plpgsql AS"
             " $$ BEGIN PERFORM pg_terminate_backend(pg_backend_pid()); RETURN NEW; END $$"_s);
    set.exec(u"CREATE TRIGGER end_connection BEFORE INSERT ON expense_rows"
             " FOR EACH ROW EXECUTE FUNCTION end_connection()"_s);
    const int rows = set.scalar(u"SELECT count(*) FROM expense_rows"_s).toInt();
    QVERIFY(rows > 0);

    const AllocFix::Failure failure = failureOf(Call::Adjust, propsFor(location));
    QCOMPARE(failure.number(), AccountSetError::ConnectionLost);
    QVERIFY2(failure.description().contains(u"terminating connection"_s),
             qPrintable(failure.description()));
    // A request on the broken connection gets no text from the driver; it still has a reason.
    try {
        set.exec(u"SELECT 1"_s);
        QFAIL("a request on a broken connection was carried out");
    } catch (const AllocFix::Failure &broken) {
        QVERIFY2(broken.description().contains(u"(the connection to the database was lost)"_s),
                 qPrintable(broken.description()));
    }

    // The next call opens a new connection; nothing of the adjustment was kept.
    const AccountSet again = AccountSet::open(location);
    again.exec(u"DROP TRIGGER end_connection ON expense_rows"_s);
    again.exec(u"DROP FUNCTION end_connection()"_s);
    QCOMPARE(again.scalar(u"SELECT count(*) FROM expense_rows"_s).toInt(), rows);
}

QTEST_GUILESS_MAIN(tst_Guards)
#include "tst_guards.moc"
