#include "allocation/ManualStep.h"
#include "host/ErrorRecord.h"
#include "records/RecordFields.h"
#include "support/AllocationRecords.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using namespace AllocFix;
using namespace AllocFix::Testing;

namespace {

RecordList cards(qint32 count)
{
    QList<FieldRecord> records;
    for (qint32 id = 101; id < 101 + count; ++id) {
        FieldRecord card = FieldRecord::create();
        card.setValue(Fields::FAlterID, id);
        records.append(card);
    }
    return recordList(records);
}

} // namespace

class tst_ManualStep : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void beginLeavesEveryCardUnloaded();
    void loadedRowsAreTheCardsOwn();
    void unloadedCardsCannotBeChanged();
};

void tst_ManualStep::beginLeavesEveryCardUnloaded()
{
    ManualStep step;
    step.begin(cards(2));
    step.loadRows(1, recordList({expenseRow(1, 10, 1)}));

    const RecordList next = cards(10);
    step.begin(next);

    QVERIFY(step.vecFalterID().isSameObject(next));
    QCOMPARE(step.AllDict().count(), 0);
    QStringList keys;
    for (int position = 1; position <= 10; ++position)
        keys.append(QString::number(position));
    QCOMPARE(step.dirtVect().names(), keys);
    for (const QString &key : keys)
        QCOMPARE(step.dirtVect().value(key).toText(), u"0"_s);
    QCOMPARE(step.cardId(10), 110);
}

void tst_ManualStep::loadedRowsAreTheCardsOwn()
{
    ManualStep step;
    step.begin(cards(3));
    const RecordList rows = recordList({expenseRow(1, 10, 1)});

    step.loadRows(2, rows);

    QVERIFY(step.isLoaded(2));
    QVERIFY(!step.isLoaded(1));
    QCOMPARE(step.dirtVect().value(u"2"_s).toText(), u"1"_s);
    QCOMPARE(step.AllDict().names(), QStringList{u"2"_s});
    QVERIFY(step.rows(2).isSameObject(rows));
    QVERIFY(step.rows(1).isNull());
}

// A row change on a card whose rows never loaded would give it an entry without its mark, or put
// the row into whatever list the caller held.
void tst_ManualStep::unloadedCardsCannotBeChanged()
{
    ManualStep step;
    step.begin(cards(2));
    step.loadRows(1, RecordList());
    const FieldRecord row = expenseRow(1, 10, 1);

    QVERIFY_THROWS_EXCEPTION(Failure, step.appendRow(2, row));
    QVERIFY_THROWS_EXCEPTION(Failure, step.replaceRow(2, 1, row));
    QVERIFY_THROWS_EXCEPTION(Failure, step.removeRow(2, 1));
    QCOMPARE(step.AllDict().names(), QStringList{u"1"_s});
    QCOMPARE(step.dirtVect().value(u"2"_s).toText(), u"0"_s);

    QCOMPARE(step.appendRow(1, row), 1);
    QVERIFY(step.rows(1).at(1).isSameObject(row));
}

QTEST_GUILESS_MAIN(tst_ManualStep)
#include "tst_manualstep.moc"
