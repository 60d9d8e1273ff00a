#include "accountset/AccountSet.h"
#include "accountset/DemoData.h"
#include "records/FieldRecord.h"
#include "records/RecordFields.h"
#include "services/CardReadAhead.h"
#include "services/CardReads.h"
#include "support/AccountSetBackends.h"
#include "support/RecordDump.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using namespace FixedAssets;
using AllocFix::FieldRecord;
using AllocFix::RecordList;
using Testing::dump;

namespace {

// The three answers for a card, as the read-ahead gives them and as the card alone reads.
void compareAnswers(const AccountSet &set, qint32 cardId)
{
    QCOMPARE(dump(CardReadAhead::departments(set, cardId)),
             dump(CardReads::departments(set, cardId)));
    QCOMPARE(dump(CardReadAhead::expenseRows(set, cardId)),
             dump(CardReads::expenseRows(set, cardId)));
    QCOMPARE(dump(CardReadAhead::reference(set, cardId)), dump(CardReads::reference(set, cardId)));
}

// Runs sql on the account set as this program or as another one.
void write(const AccountSet &set, const QString &location, bool anotherProgram, const QString &sql,
           qint32 cardId)
{
    if (!anotherProgram) {
        set.exec(sql, {cardId});
        return;
    }
    const AccountSetLocation parsed = AccountSetLocation::parse(location);
    const SqlDriver driver(parsed.kind);
    {
        QSqlDatabase other = driver.addConnection(parsed, u"other"_s);
        driver.open(other, parsed);
        {
            QSqlQuery query(other);
            QVERIFY(query.prepare(sql));
            query.addBindValue(cardId);
            QVERIFY2(query.exec(), qPrintable(query.lastError().text()));
        }
        other.close();
    }
    QSqlDatabase::removeDatabase(u"other"_s);
}

} // namespace

class tst_CardReadAhead : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup()
    {
        CardReadAhead::forget();
        AccountSet::closeAll();
    }
    void answersAsEachCardAloneAfterAChange_data();
    void answersAsEachCardAloneAfterAChange();
    void theCallerOwnsWhatItIsAnswered_data() { Testing::addBackendRows(); }
    void theCallerOwnsWhatItIsAnswered();
    void copyKeysAreWhatEachCardReadsAlone_data() { Testing::addBackendRows(); }
    void copyKeysAreWhatEachCardReadsAlone();
};

void tst_CardReadAhead::answersAsEachCardAloneAfterAChange_data()
{
    Testing::addBackendColumn();
    QTest::addColumn<bool>("anotherProgram");
    QTest::addColumn<QString>("change");

    const QList<std::pair<const char *, QString>> changes{
        {"department renamed", u"UPDATE items SET name = name || 'x' WHERE item_id ="
                               " (SELECT min(dept_id) FROM card_departments WHERE alter_id = ?)"_s},
        {"account of a row renamed",
         u"UPDATE accounts SET name = name || 'x' WHERE account_id ="
         " (SELECT min(account_id) FROM expense_rows WHERE alter_id = ?)"_s},
        {"card renamed", u"UPDATE cards SET asset_name = asset_name || 'x' WHERE alter_id = ?"_s},
        {"card left the queue", u"DELETE FROM manual_queue WHERE alter_id = ?"_s},
    };
    for (const QString &backend : Testing::Backends) {
        for (const auto &[name, sql] : changes) {
            QTest::addRow("%s, %s, this program", qPrintable(backend), name)
                << backend << false << sql;
            QTest::addRow("%s, %s, another program", qPrintable(backend), name)
                << backend << true << sql;
        }
    }
}

// Answers read ahead must be what each card reads alone, before a write and after it, whoever
// writes: the wizard would otherwise show or check a card as it no longer is.
void tst_CardReadAhead::answersAsEachCardAloneAfterAChange()
{
    FETCH_ACCOUNT_SET_LOCATION(location);
    QFETCH(bool, anotherProgram);
    QFETCH(QString, change);
    createDemoAccountSet(location, 600);
    const AccountSet set = AccountSet::open(location);
    // Against the order of the IDs, and longer than one window.
    set.exec(u"DELETE FROM manual_queue"_s);
    set.exec(u"INSERT INTO manual_queue (seq, alter_id)"
             " SELECT 100000 - alter_id, alter_id FROM cards"_s);
    QList<qint32> queue;
    QSqlQuery cards = set.exec(u"SELECT alter_id FROM manual_queue ORDER BY seq"_s);
    while (cards.next())
        queue.append(cards.value(0).toInt());
    QCOMPARE(queue.size(), 600);

    // One mismatch says it all; the cards after it would repeat it.
    const auto compareCards = [&set](const QList<qint32> &cards) {
        for (const qint32 cardId : cards) {
            compareAnswers(set, cardId);
            if (QTest::currentTestFailed())
                return;
        }
    };
    compareCards(queue.first(20));
    const qint32 changed = queue.at(5);
    write(set, location, anotherProgram, change, changed);
    compareCards({changed});
    compareCards(queue);
}

// The wizard edits the rows it was given; the next answer for the card must not show the edit.
void tst_CardReadAhead::theCallerOwnsWhatItIsAnswered()
{
    FETCH_ACCOUNT_SET_LOCATION(location);
    createDemoAccountSet(location, 30);
    const AccountSet set = AccountSet::open(location);
    set.exec(u"INSERT INTO manual_queue (seq, alter_id) SELECT alter_id, alter_id FROM cards"
             " WHERE alter_id NOT IN (SELECT alter_id FROM manual_queue)"_s);
    const qint32 cardId = set.scalar(u"SELECT min(alter_id) FROM manual_queue"_s).toInt();

    RecordList rows = CardReadAhead::expenseRows(set, cardId);
    QVERIFY(rows.count() > 0);
    rows.at(1).value(AllocFix::Fields::Detail).toList().append(FieldRecord::create());
    rows.at(1).setValue(AllocFix::Fields::FRate, 0.5);
    rows.append(FieldRecord::create());
    CardReadAhead::departments(set, cardId).remove(1);
    CardReadAhead::reference(set, cardId).setValue(AllocFix::Fields::FAssetName, u"edited"_s);

    compareAnswers(set, cardId);
}

// Keys as "departments / legacy accounts", each sorted, from an answer of GetCopyKeys.
QString keyText(QList<qint32> departments, QList<qint32> accounts)
{
    std::sort(departments.begin(), departments.end());
    std::sort(accounts.begin(), accounts.end());
    QStringList text;
    for (const qint32 id : departments)
        text.append(QString::number(id));
    text.append(u"/"_s);
    for (const qint32 id : accounts)
        text.append(QString::number(id));
    return text.join(u' ');
}

// The copy's search decides from the keys which cards' rows to read: a key that differs from
// the card's own departments and legacy rows would copy to the wrong cards, or miss one.
void tst_CardReadAhead::copyKeysAreWhatEachCardReadsAlone()
{
    FETCH_ACCOUNT_SET_LOCATION(location);
    createDemoAccountSet(location, 60);
    const AccountSet set = AccountSet::open(location);
    QList<qint32> cards;
    QSqlQuery all = set.exec(u"SELECT alter_id FROM cards ORDER BY alter_id"_s);
    while (all.next())
        cards.append(all.value(0).toInt());
    // A card without departments, a legacy account twice, and a card the set does not have.
    set.exec(u"DELETE FROM card_departments WHERE alter_id = ?"_s, {cards.at(0)});
    set.exec(u"INSERT INTO expense_rows (alter_id, seq, dept_id, account_id, rate)"
             " SELECT alter_id, seq + 100, 0, account_id, rate FROM expense_rows"
             " WHERE alter_id = ? AND dept_id = 0"_s,
             {cards.at(1)});
    const qint32 unknown = cards.last() + 1000;

    const QHash<qint32, AllocFix::CardCopyKey> keys =
        CardReads::copyKeys(set, QList<qint32>(cards) << unknown);
    QVERIFY(!keys.contains(unknown));
    qsizetype legacyCards = 0;
    for (const qint32 cardId : std::as_const(cards)) {
        QVERIFY2(keys.contains(cardId), qPrintable(QString::number(cardId)));
        const RecordList departments = CardReads::departments(set, cardId);
        const RecordList rows = CardReads::expenseRows(set, cardId);
        QList<qint32> departmentIds;
        for (qsizetype d = 1; d <= departments.count(); ++d)
            departmentIds.append(departments.at(d).value(AllocFix::Fields::FItemID).toInt());
        QList<qint32> accounts;
        for (qsizetype r = 1; r <= rows.count(); ++r) {
            if (rows.at(r).value(AllocFix::Fields::FDeptID).toInt() == 0)
                accounts.append(rows.at(r).value(AllocFix::Fields::FAcctID).toInt());
        }
        legacyCards += accounts.isEmpty() ? 0 : 1;
        const AllocFix::CardCopyKey &key = keys.value(cardId);
        QCOMPARE(keyText(key.departments, key.legacyAccounts), keyText(departmentIds, accounts));
    }
    QVERIFY(legacyCards > 1);
}

QTEST_GUILESS_MAIN(tst_CardReadAhead)
#include "tst_cardreadahead.moc"
