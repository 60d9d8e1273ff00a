#include "accountset/AccountSet.h"
#include "accountset/DemoData.h"
#include "accountset/Schema.h"
#include "host/ErrorRecord.h"
#include "services/AuditLog.h"
#include "support/AccountSetBackends.h"
#include "support/OlderAccountSet.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using namespace FixedAssets;
using namespace FixedAssets::Testing;
using Fault = AuditChainCheck::Fault;

Q_DECLARE_METATYPE(FixedAssets::AuditChainCheck::Fault)

namespace {

// Three saves of two entries each: entries 1 to 6, saves 1 to 3.
void writeSaves(const AccountSet &set)
{
    for (int save = 1; save <= 3; ++save) {
        WriteTransaction transaction(set);
        writeAuditLog(set, {{save * 10 + 1, u"[]"_s, u"[{\"n\":%1}]"_s.arg(save)},
                            {save * 10 + 2, u"[{\"n\":%1}]"_s.arg(save), u"[]"_s}});
        transaction.commit();
    }
}

} // namespace

class tst_AuditChain : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { FixedAssets::Testing::useEnglishTexts(); }
    void cleanup() { AccountSet::closeAll(); }

    void theHashOfAnEntryStaysAsItWasWritten();
    void tamperingIsFound_data();
    void tamperingIsFound();
    void sqliteRefusesToChangeAnEntry_data();
    void sqliteRefusesToChangeAnEntry();
    void anOlderSetIsChainedOnUpgrade_data();
    void anOlderSetIsChainedOnUpgrade();
    void aLongSaveReadsBetweenItsEntries_data() { addBackendRows(); }
    void aLongSaveReadsBetweenItsEntries();
};

// Stored chains are checked against this computation for as long as they exist.
void tst_AuditChain::theHashOfAnEntryStaysAsItWasWritten()
{
    const AuditRecord record{7, u"2026-01-02T03:04:05Z"_s, u"张三"_s, {42, u"[]"_s, u"[1]"_s}};
    QCOMPARE(AuditChain::entryHash({}, record),
             QByteArray("b6c182421b73b5c3ed5ac246653aa09ed8bafc58b933ee0051e69bf420b77e88"));
}

void tst_AuditChain::tamperingIsFound_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QStringList>("tampering"); // %1: a hash made for the inserted entry
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<qint64>("entryNamed");
    const QString shift = u"UPDATE audit_log SET entry_id = entry_id + 10 WHERE entry_id >= 4"_s;
    const QString insert =
        u"INSERT INTO audit_log (entry_id, save_id, saved_at, user_name, alter_id, rows_before,"
        " rows_after, prev_hash, entry_hash) SELECT 4, 2, saved_at, user_name, 99, '[]', '[]',"
        " entry_hash, '%1' FROM audit_log WHERE entry_id = 3"_s;
    for (const QString &backend : Backends) {
        const auto row = [&backend](const char *name) -> QTestData & {
            return QTest::addRow("%s, %s", qPrintable(backend), name) << backend;
        };
        row("untouched") << QStringList() << Fault::None << qint64(0);
        row("edited rows") << QStringList{u"UPDATE audit_log SET rows_after = '[]'"
                                          " WHERE entry_id = 3"_s}
                           << Fault::Edited << qint64(3);
        row("edited user") << QStringList{u"UPDATE audit_log SET user_name = 'mallory'"
                                          " WHERE entry_id = 4"_s}
                           << Fault::Edited << qint64(4);
        row("deleted middle entry") << QStringList{u"DELETE FROM audit_log WHERE entry_id = 3"_s}
                                    << Fault::Deleted << qint64(4);
        row("inserted entry, made-up hash")
            << QStringList{shift, insert.arg(u"forged"_s)} << Fault::Inserted << qint64(4);
        row("inserted entry, chained")
            << QStringList{shift, insert} << Fault::Inserted << qint64(4);
        row("swapped entries")
            << QStringList{u"UPDATE audit_log SET entry_id = 100 WHERE entry_id = 3"_s,
                           u"UPDATE audit_log SET entry_id = 3 WHERE entry_id = 4"_s,
                           u"UPDATE audit_log SET entry_id = 4 WHERE entry_id = 100"_s}
            << Fault::Moved << qint64(3);
    }
}

void tst_AuditChain::tamperingIsFound()
{
    QFETCH(QStringList, tampering);
    QFETCH(Fault, fault);
    QFETCH(qint64, entryNamed);
    FETCH_ACCOUNT_SET_LOCATION(location);
    const AccountSet set = AccountSet::open(createDemoAccountSet(location, 0));
    writeSaves(set);
    const QString lastHash = set.scalar(u"SELECT entry_hash FROM audit_log"
                                        " WHERE entry_id = 6"_s)
                                 .toString();

    // As the owner on PostgreSQL; SQLite has no owner to let through.
    if (set.driver().kind() == AccountSetLocation::Kind::SQLite) {
        set.exec(u"DROP TRIGGER audit_log_append_only_update"_s);
        set.exec(u"DROP TRIGGER audit_log_append_only_delete"_s);
        set.exec(u"DROP TRIGGER audit_log_append_only_insert"_s);
        set.exec(u"DROP TRIGGER audit_log_append_only_inserted"_s);
    }
    // A forger who chains the inserted entry on the one before it.
    const AuditRecord forged{
        2,
        set.scalar(u"SELECT saved_at FROM audit_log WHERE entry_id = 3"_s).toString(),
        set.scalar(u"SELECT user_name FROM audit_log WHERE entry_id = 3"_s).toString(),
        {99, u"[]"_s, u"[]"_s}};
    const QByteArray forgedHash = AuditChain::entryHash(
        set.scalar(u"SELECT entry_hash FROM audit_log WHERE entry_id = 3"_s).toByteArray(), forged);
    for (const QString &sql : std::as_const(tampering))
        set.exec(sql.contains(u"%1"_s) ? sql.arg(QString::fromLatin1(forgedHash)) : sql);

    const AuditChainCheck check = checkAuditChain(set);
    QCOMPARE(check.fault, fault);
    QCOMPARE(check.entryId, entryNamed);
    if (fault == Fault::Moved)
        QCOMPARE(check.otherEntryId, qint64(4));
    if (fault == Fault::None) {
        QCOMPARE(check.entries, qint64(6));
        QCOMPARE(QString::fromLatin1(check.lastHash), lastHash);
    }
}

void tst_AuditChain::sqliteRefusesToChangeAnEntry_data()
{
    QTest::addColumn<QString>("change");
    QTest::newRow("update") << u"UPDATE audit_log SET user_name = 'mallory'"_s;
    QTest::newRow("delete") << u"DELETE FROM audit_log WHERE entry_id = 2"_s;
    // Every way SQLite writes a key that exists, or one not above the last.
    const QString copy = u"SELECT %1, save_id, saved_at, 'mallory', alter_id, rows_before,"
                         " rows_after, prev_hash, entry_hash FROM audit_log WHERE entry_id = %2"_s;
    const QString columns = u"(entry_id, save_id, saved_at, user_name, alter_id, rows_before,"
                            " rows_after, prev_hash, entry_hash) "_s;
    QTest::newRow("insert or replace")
        << u"INSERT OR REPLACE INTO audit_log "_s + columns + copy.arg(u"entry_id"_s, u"5"_s);
    QTest::newRow("insert or replace the last")
        << u"INSERT OR REPLACE INTO audit_log "_s + columns + copy.arg(u"entry_id"_s, u"6"_s);
    QTest::newRow("replace") << u"REPLACE INTO audit_log "_s + columns +
                                    copy.arg(u"entry_id"_s, u"2"_s);
    QTest::newRow("upsert") << u"INSERT INTO audit_log "_s + columns +
                                   copy.arg(u"entry_id"_s, u"3"_s) +
                                   u" ON CONFLICT (entry_id) DO UPDATE"
                                   " SET user_name = excluded.user_name"_s;
    QTest::newRow("update or replace")
        << u"UPDATE OR REPLACE audit_log SET entry_id = 6 WHERE entry_id = 5"_s;
    QTest::newRow("below the first")
        << u"INSERT INTO audit_log "_s + columns + copy.arg(u"0"_s, u"1"_s);
    QTest::newRow("-1, as a key SQLite picks looks before the insert")
        << u"INSERT INTO audit_log "_s + columns + copy.arg(u"-1"_s, u"1"_s);
}

void tst_AuditChain::sqliteRefusesToChangeAnEntry()
{
    QFETCH(QString, change);
    const QTemporaryDir folder;
    const AccountSet set = AccountSet::open(createDemoAccountSet(folder.filePath(u"set.fa"_s), 0));
    writeSaves(set);
    try {
        set.exec(change);
        QFAIL("an audit entry was changed");
    } catch (const AllocFix::Failure &failure) {
        QVERIFY2(failure.description().contains(u"takes new entries only"_s),
                 qPrintable(failure.description()));
    }
    const AuditChainCheck check = checkAuditChain(set);
    QCOMPARE(check.fault, Fault::None);
    QCOMPARE(check.entries, qint64(6));
}

void tst_AuditChain::anOlderSetIsChainedOnUpgrade_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<int>("version");
    for (const QString &backend : Backends) {
        for (const int version : {1, 3})
            QTest::addRow("%s, version %d", qPrintable(backend), version) << backend << version;
    }
}

void tst_AuditChain::anOlderSetIsChainedOnUpgrade()
{
    QFETCH(int, version);
    FETCH_ACCOUNT_SET_LOCATION(location);
    // Entries as an older program wrote them, without hashes.
    const int older = version >= 2 ? 4 : 0;
    createOlderAccountSet(location, version, 5, [older](const AccountSet &set) {
        for (int entry = 1; entry <= older; ++entry) {
            set.exec(u"INSERT INTO audit_log (save_id, saved_at, user_name, alter_id,"
                     " rows_before, rows_after) VALUES (?, ?, ?, ?, '[]', '[]')"_s,
                     {(entry + 1) / 2, u"2025-06-0%1T08:00:00Z"_s.arg(entry), u"老用户"_s, entry});
        }
    });

    const AccountSet set = AccountSet::open(location);
    QCOMPARE(Schema::versionOf(set), Schema::CurrentVersion);
    AuditChainCheck check = checkAuditChain(set);
    QCOMPARE(check.fault, Fault::None);
    QCOMPARE(check.entries, qint64(older));
    // New saves chain on the old entries.
    writeSaves(set);
    check = checkAuditChain(set);
    QCOMPARE(check.fault, Fault::None);
    QCOMPARE(check.entries, qint64(older + 6));
}

// A save that writes its entries as it goes reads and writes between them, and its entries, more
// than one batch, chain as one.
void tst_AuditChain::aLongSaveReadsBetweenItsEntries()
{
    FETCH_ACCOUNT_SET_LOCATION(location);
    const AccountSet set = AccountSet::open(createDemoAccountSet(location, 0));
    constexpr int Entries = 4500;
    {
        WriteTransaction transaction(set);
        AuditLogWriter log(set);
        for (int card = 1; card <= Entries; ++card) {
            log.append({card, u"[]"_s, u"[]"_s});
            QCOMPARE(set.scalar(u"SELECT count(*) FROM manual_queue"_s).toInt(), 0);
        }
        log.finish();
        transaction.commit();
    }
    const AuditChainCheck check = checkAuditChain(set);
    QCOMPARE(check.fault, Fault::None);
    QCOMPARE(check.entries, qint64(Entries));
    QCOMPARE(set.scalar(u"SELECT count(DISTINCT save_id) FROM audit_log"_s).toInt(), 1);
}

QTEST_GUILESS_MAIN(tst_AuditChain)
#include "tst_auditchain.moc"
