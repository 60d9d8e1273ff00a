// The load step's reset: the rows the writer changes are put back exactly, in one transaction,
// on SQLite and (when a server is given) PostgreSQL.
#include "accountset/AccountSet.h"
#include "accountset/DemoData.h"
#include "scale/LoadSnapshot.h"
#include "services/Adjustment.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QtTest>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {

// Every row of the tables the writer changes, and the adjustment date, in key order.
QStringList rowsOf(const QString &location)
{
    const FixedAssets::AccountSet set = FixedAssets::AccountSet::open(location);
    QStringList rows;
    for (const QString &sql :
         {u"SELECT alter_id, seq, dept_id, account_id, rate FROM expense_rows ORDER BY 1, 2"_s,
          u"SELECT alter_id, row_seq, seq, item_id FROM expense_row_items ORDER BY 1, 2, 3"_s,
          u"SELECT seq, alter_id FROM manual_queue ORDER BY 1"_s,
          u"SELECT value FROM profile WHERE name = 'AdjustmentDate'"_s}) {
        QSqlQuery query = set.exec(sql);
        while (query.next()) {
            QStringList columns;
            for (int column = 0; column < query.record().count(); ++column)
                columns << query.value(column).toString();
            rows << columns.join(u' ');
        }
        rows << u"--"_s;
    }
    return rows;
}

// The writer's changes: the adjustment and its date.
void adjust(const QString &location)
{
    const FixedAssets::AccountSet set = FixedAssets::AccountSet::open(location);
    FixedAssets::WriteTransaction transaction(set);
    FixedAssets::Adjustment::run(set);
    set.setProfileValue(u"AdjustmentDate"_s, u"2026-01-31"_s);
    transaction.commit();
}

} // namespace

class tst_LoadSnapshot : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { FixedAssets::AccountSet::closeAll(); }
    void putsTheRowsBack_data();
    void putsTheRowsBack();
    void aFailedResetLeavesTheSetAsItWas();

private:
    QTemporaryDir m_folder;
};

void tst_LoadSnapshot::putsTheRowsBack_data()
{
    QTest::addColumn<QString>("location");
    QTest::newRow("sqlite") << u"sqlite:"_s + m_folder.filePath(u"back.fa"_s);
    const QString url = qEnvironmentVariable("ALLOCFIX_TEST_PG_URL");
    if (!url.isEmpty())
        QTest::newRow("postgresql") << url;
}

void tst_LoadSnapshot::putsTheRowsBack()
{
    QFETCH(QString, location);
    location = FixedAssets::createDemoAccountSet(location, 40);
    const QStringList before = rowsOf(location);
    const Bench::Load::Snapshot snapshot(location, m_folder.path());
    for (int cycle = 0; cycle < 2; ++cycle) {
        adjust(location);
        QVERIFY(rowsOf(location) != before);
        FixedAssets::AccountSet::closeAll();
        snapshot.restore();
        QCOMPARE(rowsOf(location), before);
    }
}

void tst_LoadSnapshot::aFailedResetLeavesTheSetAsItWas()
{
    const QString location =
        FixedAssets::createDemoAccountSet(u"sqlite:"_s + m_folder.filePath(u"half.fa"_s), 40);
    const Bench::Load::Snapshot snapshot(location, m_folder.path());
    adjust(location);
    const QStringList adjusted = rowsOf(location);
    FixedAssets::AccountSet::closeAll();
    // The last table to go back is gone from the copy: the reset fails after it has deleted and
    // written back the others.
    sqlite3 *saved = nullptr;
    QCOMPARE(
        sqlite3_open(QFile::encodeName(m_folder.filePath(u"load-saved.fa"_s)).constData(), &saved),
        SQLITE_OK);
    QCOMPARE(sqlite3_exec(saved, "DROP TABLE profile", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(saved);
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, snapshot.restore());
    QCOMPARE(rowsOf(location), adjusted);
}

QTEST_GUILESS_MAIN(tst_LoadSnapshot)
#include "tst_loadsnapshot.moc"
