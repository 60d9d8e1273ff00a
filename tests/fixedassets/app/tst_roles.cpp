#include "ProgramRun.h"
#include "accountset/AccountSet.h"
#include "accountset/DemoData.h"
#include "host/ErrorRecord.h"
#include "services/AuditLog.h"
#include "support/AccountSetBackends.h"
#include "support/AccountSetDump.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace FixedAssets;
using FixedAssets::Testing::ProgramRun;

namespace {

// A login of the test for each group role.
const QList<std::pair<QString, QString>> Logins{{u"owner"_s, u"allocfix_owner"_s},
                                                {u"accountant"_s, u"allocfix_accountant"_s},
                                                {u"viewer"_s, u"allocfix_viewer"_s}};

QString loginOf(const QString &role)
{
    return u"allocfix_t_"_s + role;
}

QString urlAs(const QString &url, const QString &user)
{
    AccountSetLocation location = AccountSetLocation::parse(url);
    location.user = user;
    location.password.clear();
    return location.url();
}

const QString ReadOnly = u"allocfix: your role may only read this account set (%1)\n"_s;
const QString NotOwner =
    u"allocfix: your role may not create, upgrade or replace this account set, nor grant its "
    "roles (%1)\n"_s;

} // namespace

class tst_Roles : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup() { AccountSet::closeAll(); }

    void eachRoleDoesWhatItMay_data();
    void eachRoleDoesWhatItMay();
    void accountantCannotChangeTheAuditLog_data();
    void accountantCannotChangeTheAuditLog();
    void temporaryObjectsCannotStandInForWhatAGuardReads_data();
    void temporaryObjectsCannotStandInForWhatAGuardReads();

private:
    ProgramRun run(const QStringList &arguments)
    {
        return Testing::runProgram(arguments, m_home.path(), true);
    }

    QString m_url;
    QTemporaryDir m_home;
};

void tst_Roles::initTestCase()
{
    Testing::useEnglishTexts();
    m_url = qEnvironmentVariable("ALLOCFIX_TEST_PG_URL");
    if (m_url.isEmpty())
        QSKIP("PostgreSQL tests need ALLOCFIX_TEST_PG_URL");
    QVERIFY(QDir(m_home.path()).mkdir(u"runtime"_s));
    QFile::setPermissions(m_home.filePath(u"runtime"_s),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    init();
    for (const auto &[role, group] : Logins) {
        const AccountSet admin = AccountSet::open(m_url);
        admin.exec(u"DO $t$ BEGIN IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = '%1')"
                   " THEN CREATE ROLE %1 LOGIN; END IF; END $t$"_s.arg(loginOf(role)));
        admin.exec(u"GRANT %1 TO %2"_s.arg(group, loginOf(role)));
    }
}

// A demo set made by the server's superuser, an audit entry for two of its cards, and the roles
// applied.
void tst_Roles::init()
{
    {
        const AccountSet set = AccountSet::open(createDemoAccountSet(m_url, 25));
        const qint32 card = set.scalar(u"SELECT min(alter_id) FROM cards"_s).toInt();
        WriteTransaction transaction(set);
        writeAuditLog(set, {{card, u"[]"_s, u"[]"_s}, {card + 1, u"[]"_s, u"[]"_s}});
        transaction.commit();
    }
    AccountSet::closeAll();
    const ProgramRun applied = run({u"roles"_s, m_url, u"--apply"_s});
    QVERIFY2(applied.exitCode == 0, qPrintable(applied.err));
}

void tst_Roles::eachRoleDoesWhatItMay_data()
{
    QTest::addColumn<QString>("role");
    QTest::addColumn<QStringList>("arguments"); // %1: the account set
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("refusal"); // stderr: all of it when it ends a line, else its start
    QTest::addColumn<bool>("changes");
    QTest::addColumn<QString>("answer");    // part of stdout
    QTest::addColumn<QString>("tampering"); // by the superuser, before

    const QStringList replace{u"--demo"_s,       u"5"_s,        u"--force"_s,
                              u"--screenshot"_s, u"shot.png"_s, u"%1"_s};
    const QStringList adjust{u"adjust"_s, u"%1"_s};
    const QStringList applyRoles{u"roles"_s, u"%1"_s, u"--apply"_s};
    QTest::newRow("viewer checks") << u"viewer"_s << QStringList{u"check"_s, u"%1"_s} << 0
                                   << QString() << false << QString() << QString();
    QTest::newRow("viewer exports the audit")
        << u"viewer"_s << QStringList{u"audit"_s, u"%1"_s, u"-o"_s, u"audit.csv"_s} << 0
        << QString() << false << QString() << QString();
    const QStringList verify{u"audit"_s, u"%1"_s, u"--verify"_s};
    QTest::newRow("viewer verifies the audit")
        << u"viewer"_s << verify << 0 << QString() << false
        << u"2 entries, chain intact\nlast hash: "_s << QString();
    QTest::newRow("viewer finds an edited entry")
        << u"viewer"_s << verify << 1 << QString() << false
        << u"The audit log's hash chain is broken: entry 1 (save 1) was edited"_s
        << u"UPDATE audit_log SET user_name = 'mallory' WHERE entry_id = 1"_s;
    QTest::newRow("viewer may not adjust")
        << u"viewer"_s << adjust << 2 << ReadOnly.arg(u"allocfix_viewer"_s) << false << QString()
        << QString();
    QTest::newRow("viewer may not replace")
        << u"viewer"_s << replace << 2 << NotOwner.arg(u"allocfix_viewer"_s) << false << QString()
        << QString();
    QTest::newRow("accountant adjusts")
        << u"accountant"_s << adjust << 0 << QString() << true << QString() << QString();
    QTest::newRow("accountant may not replace")
        << u"accountant"_s << replace << 2 << NotOwner.arg(u"allocfix_accountant"_s) << false
        << QString() << QString();
    QTest::newRow("accountant may not grant roles")
        << u"accountant"_s << applyRoles << 2 << NotOwner.arg(u"allocfix_accountant"_s) << false
        << QString() << QString();
    QTest::newRow("owner adjusts")
        << u"owner"_s << adjust << 0 << QString() << true << QString() << QString();
    QTest::newRow("owner grants roles")
        << u"owner"_s << applyRoles << 0 << u"Created the roles allocfix_owner, "_s << false
        << QString() << QString();
    // The screenshot closes the wizard, so the adjustment is not carried through.
    QTest::newRow("owner replaces")
        << u"owner"_s << replace << 1 << QString() << true << QString() << QString();
}

void tst_Roles::eachRoleDoesWhatItMay()
{
    QFETCH(QString, role);
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, refusal);
    QFETCH(bool, changes);
    QFETCH(QString, answer);
    QFETCH(QString, tampering);
    if (!tampering.isEmpty())
        AccountSet::open(m_url).exec(tampering);
    const QStringList before = Testing::dumpAccountSet(AccountSet::open(m_url));
    AccountSet::closeAll();

    arguments.replaceInStrings(u"%1"_s, urlAs(m_url, loginOf(role)));
    for (const QString &file : {u"shot.png"_s, u"audit.csv"_s})
        arguments.replaceInStrings(file, m_home.filePath(file));
    const ProgramRun result = run(arguments + QStringList{u"-l"_s, u"ENG"_s});
    QVERIFY2(result.exitCode == exitCode, qPrintable(result.out + result.err));
    QVERIFY2(!result.err.contains(u"WARNING"_s), qPrintable(result.err)); // the server's
    if (refusal.endsWith(u'\n'))
        QCOMPARE(result.err, refusal);
    else
        QVERIFY2(result.err.startsWith(refusal), qPrintable(result.err));
    QVERIFY2(result.out.contains(answer), qPrintable(result.out));
    QCOMPARE(Testing::dumpAccountSet(AccountSet::open(m_url)) != before, changes);
}

void tst_Roles::accountantCannotChangeTheAuditLog_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("mistakenGrant");
    QTest::addColumn<QString>("refusal");
    for (const bool mistakenGrant : {false, true}) {
        const QString refusal =
            mistakenGrant ? u"takes new entries only"_s : u"permission denied"_s;
        const char *grant = mistakenGrant ? ", after a mistaken grant" : "";
        QTest::addRow("update%s", grant)
            << u"UPDATE audit_log SET user_name = 'mallory'"_s << mistakenGrant << refusal;
        QTest::addRow("delete%s", grant) << u"DELETE FROM audit_log"_s << mistakenGrant << refusal;
    }
}

void tst_Roles::accountantCannotChangeTheAuditLog()
{
    QFETCH(QString, change);
    QFETCH(bool, mistakenGrant);
    QFETCH(QString, refusal);
    if (mistakenGrant)
        AccountSet::open(m_url).exec(u"GRANT UPDATE, DELETE ON audit_log TO allocfix_accountant"_s);
    try {
        AccountSet::open(urlAs(m_url, loginOf(u"accountant"_s))).exec(change);
        QFAIL("the accountant changed the audit log");
    } catch (const AllocFix::Failure &failure) {
        QVERIFY2(failure.description().contains(refusal), qPrintable(failure.description()));
    }
    const AuditChainCheck check = checkAuditChain(AccountSet::open(m_url));
    QCOMPARE(int(check.fault), int(AuditChainCheck::Fault::None));
    QCOMPARE(check.entries, qint64(2));
}

void tst_Roles::temporaryObjectsCannotStandInForWhatAGuardReads_data()
{
    QTest::addColumn<QStringList>("statements"); // as the accountant, in one session
    QTest::addColumn<QString>("refusal");
    const QString rowGuard = u"department must be an item of the department class"_s;
    const QString foreignDepartment =
        u"INSERT INTO expense_rows (alter_id, seq, dept_id, account_id, rate)"
        " SELECT min(alter_id), 99, 99999, 510101, 0.5 FROM cards"_s;
    const QString items = u"CREATE TEMP TABLE items (item_id int, class_id int);"
                          " INSERT INTO items VALUES (99999, 2)"_s;
    QTest::newRow("a temporary items") << QStringList{items, foreignDepartment} << rowGuard;
    QTest::newRow("a temporary items, searched first by choice")
        << QStringList{items, u"SET search_path = pg_temp, public, pg_catalog"_s, foreignDepartment}
        << rowGuard;
    // After a mistaken grant the owner check is all that stands.
    const QString grant = u"GRANT UPDATE, DELETE ON audit_log TO allocfix_accountant"_s;
    const QString pgClass =
        u"CREATE TEMP TABLE pg_class AS SELECT oid, (SELECT oid FROM pg_catalog.pg_roles"
        " WHERE rolname = current_user) AS relowner FROM pg_catalog.pg_class"_s;
    const QString appendOnly = u"takes new entries only"_s;
    QTest::newRow("a temporary pg_class, update")
        << QStringList{grant, pgClass, u"UPDATE audit_log SET user_name = 'mallory'"_s}
        << appendOnly;
    QTest::newRow("a temporary pg_class, delete of the last entry")
        << QStringList{grant, pgClass,
                       u"DELETE FROM audit_log WHERE entry_id = (SELECT max(entry_id)"
                       " FROM audit_log)"_s}
        << appendOnly;
}

// The guards hold while the accountant keeps TEMPORARY: a session's own temporary objects,
// named like what a guard reads, change nothing.
void tst_Roles::temporaryObjectsCannotStandInForWhatAGuardReads()
{
    QFETCH(QStringList, statements);
    QFETCH(QString, refusal);
    const QStringList before = Testing::dumpAccountSet(AccountSet::open(m_url));
    // The grant is the owner's mistake; the rest is the accountant's doing.
    if (statements.first().startsWith(u"GRANT"_s))
        AccountSet::open(m_url).exec(statements.takeFirst());
    const QString last = statements.takeLast();
    const AccountSet accountant = AccountSet::open(urlAs(m_url, loginOf(u"accountant"_s)));
    for (const QString &statement : std::as_const(statements))
        accountant.exec(statement);
    try {
        accountant.exec(last);
        QFAIL("a guard let it through");
    } catch (const AllocFix::Failure &failure) {
        QVERIFY2(failure.description().contains(refusal), qPrintable(failure.description()));
    }
    AccountSet::closeAll();
    QCOMPARE(Testing::dumpAccountSet(AccountSet::open(m_url)), before);
    QCOMPARE(int(checkAuditChain(AccountSet::open(m_url)).fault),
             int(AuditChainCheck::Fault::None));
}

QTEST_GUILESS_MAIN(tst_Roles)
#include "tst_roles.moc"
