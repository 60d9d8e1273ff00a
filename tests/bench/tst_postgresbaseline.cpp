// The raw PostgreSQL baseline writes exactly the change a step made, into a copy that keeps the
// schema's guards, and notices when the copy ends up different from the account set.
#include "accountset/AccountSet.h"
#include "accountset/DemoData.h"
#include "host/ErrorRecord.h"
#include "scale/PostgresBaseline.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace Bench;
using FixedAssets::AccountSet;
using FixedAssets::AccountSetLocation;

class tst_PostgresBaseline : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void replaysTheStepsChange_data();
    void replaysTheStepsChange();
    void copyKeepsTheGuards_data();
    void copyKeepsTheGuards();
    void noticesAChangeItDidNotMake();
    void cleanup() { AccountSet::closeAll(); }

private:
    // The demo ledger at the test server, or an empty location when there is none.
    static QString demoSet()
    {
        const QString url = qEnvironmentVariable("ALLOCFIX_TEST_PG_URL");
        return url.isEmpty() ? QString() : FixedAssets::createDemoAccountSet(url, 12);
    }
};

const QString FirstCard = u"(SELECT min(alter_id) FROM cards)"_s;
const QString NewCard =
    u"INSERT INTO cards SELECT alter_id + 1000, asset_number || '-new', asset_name, entry_date,"
    " category, model, site, original_value, accumulated_depreciation, useful_life_months,"
    " depreciation_method, status FROM cards WHERE alter_id = "_s +
    FirstCard;

void tst_PostgresBaseline::replaysTheStepsChange_data()
{
    QTest::addColumn<QStringList>("step");
    QTest::addColumn<qint64>("removed");
    QTest::addColumn<qint64>("changed");
    QTest::addColumn<qint64>("added");

    QTest::newRow("nothing") << QStringList() << 0LL << 0LL << 0LL;
    QTest::newRow("a text that COPY must escape")
        << QStringList{u"UPDATE cards SET asset_name = E'tab\\there\\nline \\\\ back'"
                       " WHERE alter_id = "_s +
                       FirstCard}
        << 0LL << 1LL << 0LL;
    QTest::newRow("a rate to its last bit")
        << QStringList{u"UPDATE card_departments SET rate = 1.0 / 3 WHERE seq = 1"
                       " AND alter_id = "_s +
                       FirstCard}
        << 0LL << 1LL << 0LL;
    QTest::newRow("a parent and its children added")
        << QStringList{NewCard,
                       u"INSERT INTO card_departments SELECT alter_id + 1000, seq, dept_id, rate"
                       " FROM card_departments WHERE alter_id = "_s +
                           FirstCard + u" AND seq <= 2"_s}
        << 0LL << 0LL << 3LL;
    QTest::newRow("children removed before their parent")
        << QStringList{NewCard,
                       u"INSERT INTO expense_rows SELECT alter_id + 1000, seq, dept_id, account_id,"
                       " rate FROM expense_rows WHERE alter_id = "_s +
                           FirstCard + u" AND seq = 1"_s,
                       u"DELETE FROM expense_row_items WHERE alter_id = "_s + FirstCard,
                       u"DELETE FROM expense_rows WHERE alter_id = "_s + FirstCard,
                       u"DELETE FROM card_departments WHERE alter_id = "_s + FirstCard,
                       u"DELETE FROM cards WHERE alter_id = "_s + FirstCard}
        << -1LL << 0LL << 2LL;
    QTest::newRow("an audit entry added")
        << QStringList{u"INSERT INTO audit_log (save_id, saved_at, user_name, alter_id,"
                       " rows_before, rows_after) VALUES (1, 'now', 'me', 1, 'a', 'b')"_s}
        << 0LL << 0LL << 1LL;
}

void tst_PostgresBaseline::replaysTheStepsChange()
{
    QFETCH(QStringList, step);
    QFETCH(qint64, removed);
    QFETCH(qint64, changed);
    QFETCH(qint64, added);
    const QString location = demoSet();
    if (location.isEmpty())
        QSKIP("needs ALLOCFIX_TEST_PG_URL");
    const AccountSet set = AccountSet::open(location);
    // -1: the first card's rows, however many the ledger gives it.
    if (removed < 0) {
        removed = 1;
        for (const QString &table :
             {u"card_departments"_s, u"expense_rows"_s, u"expense_row_items"_s}) {
            removed +=
                set.scalar(u"SELECT count(*) FROM "_s + table + u" WHERE alter_id = "_s + FirstCard)
                    .toLongLong();
        }
    }

    PostgresBaseline::Replay replay =
        PostgresBaseline::Replay::before(AccountSetLocation::parse(location));
    for (const QString &sql : std::as_const(step))
        set.exec(sql);
    const PostgresBaseline::Result result = replay.run();
    QCOMPARE(result.removedRows, removed);
    QCOMPARE(result.changedRows, changed);
    QCOMPARE(result.addedRows, added);
}

void tst_PostgresBaseline::copyKeepsTheGuards_data()
{
    QTest::addColumn<QString>("refused");
    const QString raw = PostgresBaseline::RawSchema + u'.';
    QTest::newRow("the row guard")
        << u"UPDATE "_s + raw + u"expense_rows SET rate = 2 WHERE seq = 1"_s;
    QTest::newRow("a foreign key")
        << u"INSERT INTO "_s + raw + u"card_departments VALUES (999999, 1, 1, 0.5)"_s;
    QTest::newRow("a primary key")
        << u"INSERT INTO "_s + raw + u"cards SELECT * FROM "_s + raw + u"cards LIMIT 1"_s;
    QTest::newRow("a unique column") << u"UPDATE "_s + raw + u"accounts SET number = 'x'"_s;
}

void tst_PostgresBaseline::copyKeepsTheGuards()
{
    QFETCH(QString, refused);
    const QString location = demoSet();
    if (location.isEmpty())
        QSKIP("needs ALLOCFIX_TEST_PG_URL");
    PostgresBaseline::Replay replay =
        PostgresBaseline::Replay::before(AccountSetLocation::parse(location));
    replay.prepareCopy();
    QVERIFY_THROWS_EXCEPTION(AllocFix::Failure, AccountSet::open(location).exec(refused));
}

void tst_PostgresBaseline::noticesAChangeItDidNotMake()
{
    const QString location = demoSet();
    if (location.isEmpty())
        QSKIP("needs ALLOCFIX_TEST_PG_URL");
    const AccountSet set = AccountSet::open(location);
    PostgresBaseline::Replay replay =
        PostgresBaseline::Replay::before(AccountSetLocation::parse(location));
    set.exec(u"UPDATE cards SET site = 'here' WHERE alter_id = "_s + FirstCard);
    const PostgresBaseline::Change change = replay.change();
    // A write the change was found without.
    set.exec(u"UPDATE cards SET site = 'there' WHERE alter_id = "_s + FirstCard);
    replay.prepareCopy();
    replay.write(change);
    QCOMPARE(replay.differencesLeft(), 1);
}

QTEST_GUILESS_MAIN(tst_PostgresBaseline)
#include "tst_postgresbaseline.moc"
