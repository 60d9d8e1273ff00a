#include "accountset/AccountSet.h"
#include "accountset/AccountSetErrors.h"
#include "accountset/BulkInsert.h"
#include "accountset/DemoData.h"
#include "accountset/PreparedStatement.h"
#include "support/AccountSetBackends.h"

#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace FixedAssets;
using FixedAssets::Testing::addBackendColumn;
using FixedAssets::Testing::addBackendRows;
using FixedAssets::Testing::Backends;

namespace {

// Writes name and value pairs to the profile in bulk, in one transaction.
void writeProfile(const AccountSet &set, const QList<std::pair<QString, QString>> &pairs)
{
    WriteTransaction transaction(set);
    BulkInsert insert(set, u"profile"_s, {u"name"_s, u"value"_s});
    for (const auto &[name, value] : pairs)
        insert.add({name, value});
    insert.finish();
    transaction.commit();
}

} // namespace

class tst_Statements : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup();

    void twoUsesOfOneStatementStayApart_data();
    void twoUsesOfOneStatementStayApart();
    void idleStatementHoldsNoLock();
    void closingTheConnectionDropsItsStatements_data();
    void closingTheConnectionDropsItsStatements();
    void bulkInsertWritesEveryRow_data();
    void bulkInsertWritesEveryRow();
    void bulkInsertKeepsEveryText_data();
    void bulkInsertKeepsEveryText();
    void batchedBulkInsertFreesTheConnectionBetweenBatches_data();
    void batchedBulkInsertFreesTheConnectionBetweenBatches();
    void bulkInsertRaisesForARefusedRow_data();
    void bulkInsertRaisesForARefusedRow();
    void rowStatementRaisesForARefusedRow_data();
    void rowStatementRaisesForARefusedRow();
};

void tst_Statements::cleanup()
{
    AccountSet::closeAll();
}

void tst_Statements::twoUsesOfOneStatementStayApart_data()
{
    addBackendRows();
}

void tst_Statements::twoUsesOfOneStatementStayApart()
{
    FETCH_ACCOUNT_SET_LOCATION(location);
    const AccountSet set = AccountSet::open(createDemoAccountSet(location, 5));
    const QString sql = u"SELECT asset_number FROM cards WHERE alter_id = ?"_s;
    {
        PreparedStatement warm(set, sql);
        warm.exec({1005});
    }
    PreparedStatement first(set, sql);
    first.exec({1001});
    QVERIFY(first.next());
    PreparedStatement second(set, sql);
    second.exec({1003});
    QVERIFY(second.next());
    QCOMPARE(first.value(0).toString(), u"FA00001"_s);
    QCOMPARE(second.value(0).toString(), u"FA00003"_s);
}

void tst_Statements::idleStatementHoldsNoLock()
{
    const QTemporaryDir folder;
    const QString path = folder.filePath(u"set.fa"_s);
    const AccountSet set = AccountSet::open(createDemoAccountSet(u"sqlite:"_s + path, 5));
    {
        // Left after its first row: a statement still stepping would hold a read lock.
        PreparedStatement query(set, u"SELECT alter_id FROM cards WHERE alter_id > ?"_s);
        query.exec({0});
        QVERIFY(query.next());
    }
    {
        QSqlDatabase other = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"other writer"_s);
        other.setDatabaseName(path);
        other.setConnectOptions(u"QSQLITE_BUSY_TIMEOUT=0"_s);
        QVERIFY(other.open());
        QSqlQuery write(other);
        QVERIFY(write.exec(u"BEGIN IMMEDIATE"_s));
        QVERIFY(write.exec(u"INSERT INTO profile (name, value) VALUES ('Other', 'x')"_s));
        QVERIFY2(write.exec(u"COMMIT"_s), qPrintable(write.lastError().text()));
    }
    QSqlDatabase::removeDatabase(u"other writer"_s);
    QCOMPARE(set.profileValue(u"Other"_s), u"x"_s);
}

void tst_Statements::closingTheConnectionDropsItsStatements_data()
{
    addBackendRows();
}

void tst_Statements::closingTheConnectionDropsItsStatements()
{
    FETCH_ACCOUNT_SET_LOCATION(location);
    // A statement kept past its connection would keep the connection in use.
    QTest::failOnWarning(QRegularExpression(u"still in use"_s));
    const QString sql = u"SELECT count(*) FROM cards WHERE alter_id >= ?"_s;
    const QString url = createDemoAccountSet(location, 5);
    QCOMPARE(AccountSet::open(url).scalar(sql, {0}).toInt(), 5);
    // Made anew, under the same connection name.
    createDemoAccountSet(location, 3);
    QCOMPARE(AccountSet::open(url).scalar(sql, {0}).toInt(), 3);
}

void tst_Statements::bulkInsertWritesEveryRow_data()
{
    addBackendColumn();
    QTest::addColumn<int>("rows");
    for (const QString &backend : Backends) {
        // 20,000 rows fill PostgreSQL's copy buffer more than once.
        for (const int rows : {1, 250, 20000})
            QTest::addRow("%s, %d rows", qPrintable(backend), rows) << backend << rows;
    }
}

void tst_Statements::bulkInsertWritesEveryRow()
{
    FETCH_ACCOUNT_SET_LOCATION(location);
    QFETCH(int, rows);
    const AccountSet set = AccountSet::open(createDemoAccountSet(location, 1));
    QList<std::pair<QString, QString>> pairs;
    for (int row = 1; row <= rows; ++row)
        pairs.append({u"Bulk%1"_s.arg(row), QString::number(row * 7)});
    writeProfile(set, pairs);
    QCOMPARE(set.scalar(u"SELECT count(*) FROM profile WHERE name LIKE 'Bulk%'"_s).toInt(), rows);
    QCOMPARE(set.profileValue(u"Bulk%1"_s.arg(rows)), QString::number(rows * 7));
    QCOMPARE(set.profileValue(u"Bulk1"_s), u"7"_s);
}

void tst_Statements::bulkInsertKeepsEveryText_data()
{
    addBackendColumn();
    QTest::addColumn<QString>("text");
    const QList<std::pair<const char *, QString>> texts{{"tab", u"a\tb"_s},
                                                        {"new line", u"line\nnext\r"_s},
                                                        {"backslash", u"back\\slash"_s},
                                                        {"looks like null", u"\\N"_s},
                                                        {"quote", u"it's"_s},
                                                        {"Chinese", u"生产一车间"_s},
                                                        {"empty", QString()}};
    for (const QString &backend : Backends) {
        for (const auto &[name, text] : texts)
            QTest::addRow("%s, %s", qPrintable(backend), name) << backend << text;
    }
}

void tst_Statements::bulkInsertKeepsEveryText()
{
    FETCH_ACCOUNT_SET_LOCATION(location);
    QFETCH(QString, text);
    const AccountSet set = AccountSet::open(createDemoAccountSet(location, 1));
    writeProfile(set, {{u"Text"_s, text}});
    QCOMPARE(set.scalar(u"SELECT value FROM profile WHERE name = 'Text'"_s).toString(), text);
}

void tst_Statements::batchedBulkInsertFreesTheConnectionBetweenBatches_data()
{
    addBackendRows();
}

void tst_Statements::batchedBulkInsertFreesTheConnectionBetweenBatches()
{
    FETCH_ACCOUNT_SET_LOCATION(location);
    const AccountSet set = AccountSet::open(createDemoAccountSet(location, 1));
    const QString written = u"SELECT count(*) FROM profile WHERE name LIKE 'Batch%'"_s;
    WriteTransaction transaction(set);
    BulkInsert insert(set, u"profile"_s, {u"name"_s, u"value"_s}, 2);
    for (int row = 1; row <= 5; ++row) {
        insert.add({u"Batch%1"_s.arg(row), QString::number(row)});
        // The connection answers between two rows (on PostgreSQL, not in the middle of a
        // copy), and every full batch is written, the rest waits.
        QCOMPARE(set.scalar(written).toInt(), row / 2 * 2);
    }
    insert.finish();
    QCOMPARE(set.scalar(written).toInt(), 5);
    transaction.commit();
    QCOMPARE(set.profileValue(u"Batch5"_s), u"5"_s);
}

void tst_Statements::bulkInsertRaisesForARefusedRow_data()
{
    addBackendRows();
}

void tst_Statements::bulkInsertRaisesForARefusedRow()
{
    FETCH_ACCOUNT_SET_LOCATION(location);
    const AccountSet set = AccountSet::open(createDemoAccountSet(location, 1));
    WriteTransaction transaction(set);
    try {
        BulkInsert insert(set, u"profile"_s, {u"name"_s, u"value"_s});
        insert.add({u"Fresh"_s, u"1"_s});
        insert.add({u"SchemaVersion"_s, u"9"_s}); // the key is taken
        insert.finish();
        QFAIL("the refused row went unnoticed");
    } catch (const AllocFix::Failure &failure) {
        QCOMPARE(failure.number(), AccountSetError::QueryFailed);
    }
}

void tst_Statements::rowStatementRaisesForARefusedRow_data()
{
    addBackendRows();
}

void tst_Statements::rowStatementRaisesForARefusedRow()
{
    FETCH_ACCOUNT_SET_LOCATION(location);
    const AccountSet set = AccountSet::open(createDemoAccountSet(location, 1));
    WriteTransaction transaction(set);
    const bool sqlite = set.driver().kind() == AccountSetLocation::Kind::SQLite;
    try {
        RowStatement update(set,
                            u"UPDATE expense_rows SET rate = ? WHERE alter_id = ? AND seq = ?"_s);
        update.run({0.5, 1001, 1});
        QCOMPARE(set.scalar(u"SELECT rate FROM expense_rows WHERE alter_id = 1001 AND seq = 1"_s)
                     .toDouble(),
                 0.5);
        update.run({2.0, 1001, 1}); // the row guard refuses a rate above 1
        QFAIL("the refused row went unnoticed");
    } catch (const AllocFix::Failure &failure) {
        // PostgreSQL takes such changes set-based: a statement per row is refused at once.
        QCOMPARE(failure.number(),
                 sqlite ? AccountSetError::QueryFailed : AccountSetError::NotSupported);
    }
}

QTEST_GUILESS_MAIN(tst_Statements)
#include "tst_statements.moc"
