#include "services/RowsJson.h"

#include <QTest>

#include <limits>

using namespace Qt::StringLiterals;
using FixedAssets::RowsJson;
using FixedAssets::CardRecordBuilders::RowIds;

// The audit log's hash chain covers this text, so logs written before must still verify: the
// text is pinned to the byte, not only read back.
class tst_RowsJson : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void writesTheTextTheAuditChainHashes_data();
    void writesTheTextTheAuditChainHashes();
    void startsAfreshAfterTake();
};

void tst_RowsJson::writesTheTextTheAuditChainHashes_data()
{
    constexpr qint32 Least = std::numeric_limits<qint32>::min();
    constexpr qint32 Most = std::numeric_limits<qint32>::max();
    QTest::addColumn<QList<RowIds>>("rows");
    QTest::addColumn<QString>("text");
    QTest::newRow("no rows") << QList<RowIds>{} << u"[]"_s;
    QTest::newRow("a row without items")
        << QList<RowIds>{{0, 6602, 1.0, {}}}
        << u"[{\"account\":6602,\"dept\":0,\"items\":[],\"rate\":1}]"_s;
    QTest::newRow("items in the row's order")
        << QList<RowIds>{{201, 660201, 1.0, {{2, 201}, {4, 401}}}}
        << u"[{\"account\":660201,\"dept\":201,\"items\":[[2,201],[4,401]],\"rate\":1}]"_s;
    QTest::newRow("an empty item list between full ones")
        << QList<RowIds>{{1, 10, 0.25, {{2, 1}}}, {2, 20, 0.5, {}}, {3, 30, 0.25, {{2, 3}}}}
        << u"[{\"account\":10,\"dept\":1,\"items\":[[2,1]],\"rate\":0.25},"
           "{\"account\":20,\"dept\":2,\"items\":[],\"rate\":0.5},"
           "{\"account\":30,\"dept\":3,\"items\":[[2,3]],\"rate\":0.25}]"_s;
    QTest::newRow("the widest IDs") << QList<RowIds>{{Least, Most, 1.0, {{Least, Most}, {-1, 0}}}}
                                    << u"[{\"account\":2147483647,\"dept\":-2147483648,"
                                       "\"items\":[[-2147483648,2147483647],[-1,0]],\"rate\":1}]"_s;
    QTest::newRow("rates in the shortest text that reads back")
        << QList<RowIds>{{1, 1, 1.0 / 3.0, {}},
                         {1, 1, 0.1 + 0.2, {}},
                         {1, 1, 1e-7, {}},
                         {1, 1, 0.0, {}},
                         {1, 1, 100.0, {}}}
        << u"[{\"account\":1,\"dept\":1,\"items\":[],\"rate\":0.3333333333333333},"
           "{\"account\":1,\"dept\":1,\"items\":[],\"rate\":0.30000000000000004},"
           "{\"account\":1,\"dept\":1,\"items\":[],\"rate\":1e-07},"
           "{\"account\":1,\"dept\":1,\"items\":[],\"rate\":0},"
           "{\"account\":1,\"dept\":1,\"items\":[],\"rate\":100}]"_s;
}

void tst_RowsJson::writesTheTextTheAuditChainHashes()
{
    QFETCH(QList<RowIds>, rows);
    QFETCH(QString, text);
    QCOMPARE(FixedAssets::RowsJson::toJson(rows), text);
}

// An adjustment writes the rows of one card after another through one writer.
void tst_RowsJson::startsAfreshAfterTake()
{
    RowsJson json;
    json.addRow(1, 10, 1.0);
    json.addItem(2, 1);
    QCOMPARE(json.take(), u"[{\"account\":10,\"dept\":1,\"items\":[[2,1]],\"rate\":1}]"_s);
    QCOMPARE(json.take(), u"[]"_s);
    json.addRow(2, 20, 0.5);
    QCOMPARE(json.take(), u"[{\"account\":20,\"dept\":2,\"items\":[],\"rate\":0.5}]"_s);
}

QTEST_APPLESS_MAIN(tst_RowsJson)
#include "tst_rowsjson.moc"
