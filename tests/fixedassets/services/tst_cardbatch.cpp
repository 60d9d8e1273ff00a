#include "accountset/AccountSet.h"
#include "accountset/DemoData.h"
#include "records/FieldRecord.h"
#include "records/RecordFields.h"
#include "services/CardBatch.h"
#include "services/CardReads.h"
#include "support/AccountSetBackends.h"
#include "support/RecordDump.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using namespace FixedAssets;
using AllocFix::RecordList;
using Testing::dump;

class tst_CardBatch : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { AccountSet::closeAll(); }
    void answersWhatTheCardRecordsAnswer_data() { Testing::addBackendRows(); }
    void answersWhatTheCardRecordsAnswer();
};

// The export and import read thousands of cards at once; each must read as it reads alone.
void tst_CardBatch::answersWhatTheCardRecordsAnswer()
{
    FETCH_ACCOUNT_SET_LOCATION(location);
    createDemoAccountSet(location, 1200);
    const AccountSet set = AccountSet::open(location);
    QList<qint32> ids;
    QSqlQuery cards = set.exec(u"SELECT alter_id FROM cards ORDER BY alter_id DESC"_s);
    while (cards.next())
        ids.append(cards.value(0).toInt());
    ids.append(999999); // no such card

    const QHash<qint32, CardBatch::Card> read = CardBatch::read(set, ids);
    QCOMPARE(read.size(), 1200);
    QVERIFY(!read.contains(999999));
    for (const qint32 id : std::as_const(ids).first(1200)) {
        const CardBatch::Card &card = read[id];
        QCOMPARE(card.number + u' ' + card.name + u" (FAlterID "_s + QString::number(id) + u')',
                 CardReads::describeCard(set, id));
        QCOMPARE(dump(card.departments), dump(CardReads::departments(set, id)));
        QCOMPARE(dump(card.rows), dump(CardReads::expenseRows(set, id)));
    }
}

QTEST_GUILESS_MAIN(tst_CardBatch)
#include "tst_cardbatch.moc"
