#include "contracts/MemoryRecordSet.h"
#include "host/ErrorRecord.h"
#include "records/FieldRecord.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using namespace AllocFix;

namespace {
MemoryRecordSet departments()
{
    RecordList records = RecordList::create();
    const QList<QPair<FieldValue, QString>> rows{{FieldValue(3), u"管理部"_s},
                                                 {FieldValue(12), u"生产一车间"_s},
                                                 {FieldValue(u"12"_s), u"O'Brien"_s},
                                                 {FieldValue(12.0), u"销售部"_s}};
    for (const auto &[id, name] : rows) {
        FieldRecord record = FieldRecord::create();
        record.setValue(u"FItemID"_s, id);
        record.setValue(u"FName"_s, name);
        records.append(record);
    }
    return MemoryRecordSet(records);
}
} // namespace

class tst_RecordSet : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void find_data();
    void find();
    void malformedCriteriaAreRefused_data();
    void malformedCriteriaAreRefused();
    void walksForward();
};

void tst_RecordSet::find_data()
{
    QTest::addColumn<QString>("criterion");
    QTest::addColumn<qint32>("skip");
    QTest::addColumn<QString>("found"); // empty: past the end

    QTest::newRow("number") << u"FItemID = 12"_s << 0 << u"生产一车间"_s;
    QTest::newRow("no spaces") << u"FItemID=3"_s << 0 << u"管理部"_s;
    QTest::newRow("not there") << u"FItemID = 99"_s << 0 << QString();
    QTest::newRow("skip the current record") << u"FItemID = 12"_s << 2 << u"销售部"_s;
    QTest::newRow("text with a quote") << u"FName = 'O''Brien'"_s << 0 << u"O'Brien"_s;
    QTest::newRow("negative") << u"FItemID = -3"_s << 0 << QString();
    QTest::newRow("unknown field") << u"FCode = 3"_s << 0 << QString();
}

void tst_RecordSet::find()
{
    QFETCH(QString, criterion);
    QFETCH(qint32, skip);
    QFETCH(QString, found);
    MemoryRecordSet set = departments();
    set.MoveFirst();
    set.Find(criterion, skip);
    QCOMPARE(set.EndOfSet(), found.isEmpty());
    if (!found.isEmpty())
        QCOMPARE(set.Field(u"FName"_s).toText(), found);
}

void tst_RecordSet::malformedCriteriaAreRefused_data()
{
    QTest::addColumn<QString>("criterion");
    QTest::newRow("empty") << QString();
    QTest::newRow("injection") << u"FItemID = 1 OR 1=1"_s;
    QTest::newRow("statement") << u"FItemID = 1; DROP TABLE items"_s;
    QTest::newRow("other operator") << u"FItemID > 1"_s;
    QTest::newRow("unclosed text") << u"FName = 'abc"_s;
    QTest::newRow("bare word") << u"FName = abc"_s;
    QTest::newRow("no field") << u"= 12"_s;
}

void tst_RecordSet::malformedCriteriaAreRefused()
{
    QFETCH(QString, criterion);
    MemoryRecordSet set = departments();
    try {
        set.Find(criterion);
        QFAIL("a malformed criterion must be refused");
    } catch (const Failure &failure) {
        QCOMPARE(failure.number(), ErrorNumber::InvalidArgument);
    }
}

void tst_RecordSet::walksForward()
{
    MemoryRecordSet set = departments();
    QCOMPARE(set.RecordCount(), 4);
    int seen = 0;
    for (set.MoveFirst(); !set.EndOfSet(); set.MoveNext())
        ++seen;
    QCOMPARE(seen, 4);
    QVERIFY_THROWS_EXCEPTION(Failure, set.Field(u"FName"_s));
    MemoryRecordSet empty{RecordList()};
    QCOMPARE(empty.RecordCount(), 0);
    QVERIFY(empty.EndOfSet());
}

QTEST_MAIN(tst_RecordSet)
#include "tst_recordset.moc"
