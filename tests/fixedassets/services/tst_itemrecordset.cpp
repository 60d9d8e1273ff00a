#include "contracts/MemoryRecordSet.h"
#include "host/ErrorRecord.h"
#include "records/FieldRecord.h"
#include "services/ItemRecordSet.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using namespace FixedAssets;

namespace {

std::shared_ptr<const ReferenceSnapshot::ItemList> departments()
{
    auto items = std::make_shared<ReferenceSnapshot::ItemList>();
    items->records = AllocFix::RecordList::create();
    const QList<std::pair<qint32, QString>> rows{{201, u"管理部"_s}, {202, u"财务部"_s},
                                                 {211, u"一车间"_s}, {212, u"二车间"_s},
                                                 {221, u"销售部"_s}, {231, u"财务部"_s}};
    for (const auto &[id, name] : rows) {
        AllocFix::FieldRecord item = AllocFix::FieldRecord::create();
        item.setValue(u"FItemID"_s, id);
        item.setValue(u"FName"_s, name);
        items->positions.insert(id, items->records.append(item));
    }
    return items;
}

// Where a search leaves a record set, as text: the ID it stands on, "end", or the error.
QString search(AllocFix::IRecordSet &records, int movesFirst, const QString &criterion, int skip)
{
    records.MoveFirst();
    for (int move = 0; move < movesFirst; ++move)
        records.MoveNext();
    try {
        records.Find(criterion, skip);
    } catch (const AllocFix::Failure &failure) {
        return u"error %1"_s.arg(failure.number());
    }
    if (records.EndOfSet())
        return u"end"_s;
    QString where = records.Field(u"FItemID"_s).toText();
    records.MoveNext();
    return where + u" then "_s +
           (records.EndOfSet() ? u"end"_s : records.Field(u"FItemID"_s).toText());
}

} // namespace

class tst_ItemRecordSet : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void searchesAsTheComponentsRecordSet_data();
    void searchesAsTheComponentsRecordSet();
};

void tst_ItemRecordSet::searchesAsTheComponentsRecordSet_data()
{
    QTest::addColumn<int>("movesFirst");
    QTest::addColumn<QString>("criterion");
    QTest::addColumn<int>("skip");

    QTest::newRow("from the first") << 0 << u"FItemID = 212"_s << 0;
    QTest::newRow("no spaces") << 0 << u"FItemID=212"_s << 0;
    QTest::newRow("spaces around") << 0 << u"  FItemID   =  212  "_s << 0;
    QTest::newRow("sign and leading zero") << 0 << u"FItemID = +0212"_s << 0;
    QTest::newRow("the last") << 0 << u"FItemID = 231"_s << 0;
    QTest::newRow("absent") << 0 << u"FItemID = 999"_s << 0;
    QTest::newRow("negative") << 0 << u"FItemID = -201"_s << 0;
    QTest::newRow("on the record itself") << 3 << u"FItemID = 212"_s << 0;
    QTest::newRow("already past it") << 4 << u"FItemID = 212"_s << 0;
    QTest::newRow("skipped over it") << 2 << u"FItemID = 212"_s << 2;
    QTest::newRow("skip stops short") << 1 << u"FItemID = 212"_s << 1;
    QTest::newRow("negative skip") << 3 << u"FItemID = 212"_s << -5;
    QTest::newRow("from past the end") << 9 << u"FItemID = 201"_s << 0;
    QTest::newRow("too large for 32 bits") << 0 << u"FItemID = 4294967508"_s << 0;
    QTest::newRow("another field") << 0 << u"FName = '财务部'"_s << 0;
    QTest::newRow("another field, second match") << 2 << u"FName = '财务部'"_s << 0;
    QTest::newRow("a longer field name") << 0 << u"FItemIDX = 212"_s << 0;
    QTest::newRow("case differs") << 0 << u"fitemid = 212"_s << 0;
    QTest::newRow("not a criterion") << 0 << u"FItemID = 212 OR 1 = 1"_s << 0;
    QTest::newRow("no value") << 0 << u"FItemID ="_s << 0;
}

void tst_ItemRecordSet::searchesAsTheComponentsRecordSet()
{
    QFETCH(int, movesFirst);
    QFETCH(QString, criterion);
    QFETCH(int, skip);
    const auto items = departments();
    AllocFix::MemoryRecordSet expected(items->records);
    ItemRecordSet indexed(items);
    QCOMPARE(search(indexed, movesFirst, criterion, skip),
             search(expected, movesFirst, criterion, skip));
}

QTEST_GUILESS_MAIN(tst_ItemRecordSet)
#include "tst_itemrecordset.moc"
