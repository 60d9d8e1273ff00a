#include "host/ErrorRecord.h"
#include "records/FieldRecord.h"
#include "records/RecordFields.h"
#include "records/RecordList.h"

#include <QtTest>

#include <functional>

using namespace Qt::StringLiterals;
using namespace AllocFix;

namespace {

FieldRecord item(qint32 classId, const QString &itemName)
{
    FieldRecord record = FieldRecord::create();
    record.setValue(Fields::FItemClassID, classId);
    record.setValue(Fields::FItemName, itemName);
    return record;
}

FieldRecord expenseRow(qint32 deptId, double rate)
{
    FieldRecord row = FieldRecord::create();
    row.setValue(Fields::FDeptID, deptId);
    row.setValue(Fields::FRate, rate);
    RecordList detail = RecordList::create();
    detail.append(item(1, u"管理部"_s));
    row.setValue(Fields::Detail, detail);
    return row;
}

using Operation = std::function<void()>;

} // namespace

Q_DECLARE_METATYPE(Operation)

class tst_Records : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void handlesShareTheObject();
    void copyOfAListSharesItsElements();
    void cloneSharesNothing();
    void cloneOfAnEmptyListIsANewList();
    void copyOfARecordSharesNothing();
    void absentFieldsAndDefaults();
    void fieldsKeepTheirOrder();
    void keySetCountsDistinctNames();
    void fieldsAreFoundAtAnySize_data();
    void fieldsAreFoundAtAnySize();
    void recordsOfOneShapeShareNothingButNames();
    void positionsAreOneBased();
    void noneRaisesInsteadOfCrashing_data();
    void noneRaisesInsteadOfCrashing();
    void conversions_data();
    void conversions();
    void formatNumber_data();
    void formatNumber();
    void travelsThroughQVariant();
};

void tst_Records::handlesShareTheObject()
{
    FieldRecord record = FieldRecord::create();
    FieldRecord alias = record;
    alias.setValue(u"1"_s, RecordList::create());
    QCOMPARE(record.count(), 1);
    QVERIFY(alias.isSameObject(record));

    RecordList list = RecordList::create();
    RecordList listAlias = list;
    listAlias.append(expenseRow(1, 0.5));
    QCOMPARE(list.count(), 1);
}

void tst_Records::copyOfAListSharesItsElements()
{
    RecordList list = RecordList::create();
    list.append(expenseRow(1, 0.5));
    RecordList copy = list.copy();
    QVERIFY(!copy.isSameObject(list));
    QVERIFY(copy.at(1).isSameObject(list.at(1)));
    copy.append(expenseRow(2, 0.5));
    QCOMPARE(list.count(), 1);
}

void tst_Records::cloneSharesNothing()
{
    RecordList list = RecordList::create();
    list.append(expenseRow(1, 0.5));
    list.append(expenseRow(2, 0.25));
    RecordList clone = CloneRecordList(list);

    QCOMPARE(clone.count(), 2);
    for (qsizetype p = 1; p <= 2; ++p) {
        QVERIFY(!clone.at(p).isSameObject(list.at(p)));
        QCOMPARE(clone.at(p).value(Fields::FDeptID).toInt(),
                 list.at(p).value(Fields::FDeptID).toInt());
    }
    clone.at(1).setValue(Fields::FRate, 0.9);
    clone.at(1).value(Fields::Detail).toList().at(1).setValue(Fields::FItemName, u"x"_s);
    QCOMPARE(list.at(1).value(Fields::FRate).toDouble(), 0.5);
    QCOMPARE(list.at(1).value(Fields::Detail).toList().at(1).value(Fields::FItemName).toText(),
             u"管理部"_s);
}

void tst_Records::cloneOfAnEmptyListIsANewList()
{
    const RecordList empty = RecordList::create();
    const RecordList clone = CloneRecordList(empty);
    QVERIFY(clone);
    QVERIFY(!clone.isSameObject(empty));
    QCOMPARE(clone.count(), 0);
}

void tst_Records::copyOfARecordSharesNothing()
{
    const FieldRecord row = expenseRow(3, 1.0);
    FieldRecord copy = row.copy();
    QVERIFY(!copy.isSameObject(row));
    QCOMPARE(copy.names(), row.names());
    QVERIFY(!copy.value(Fields::Detail).toList().isSameObject(row.value(Fields::Detail).toList()));
    copy.setValue(Fields::FDeptID, 9);
    QCOMPARE(row.value(Fields::FDeptID).toInt(), 3);
}

void tst_Records::absentFieldsAndDefaults()
{
    FieldRecord row = FieldRecord::create();
    QVERIFY(row.value(Fields::FAcctID).isEmpty());
    QCOMPARE(row.value(Fields::FAcctID).toInt(), 0);
    QCOMPARE(row.value(Fields::FAcctName).toText(), QString());
    QVERIFY(row.value(Fields::Detail).toList().isNull());
    QCOMPARE(row.value(Fields::FRate, 0.0).toDouble(), 0.0);
    QCOMPARE(row.value(Fields::FAcctName, u"none"_s).toText(), u"none"_s);
    QVERIFY(!row.contains(Fields::FAcctID));

    row.setValue(Fields::FAcctID, 0);
    QCOMPARE(row.value(Fields::FAcctID, 7).toInt(), 0);
}

void tst_Records::fieldsKeepTheirOrder()
{
    FieldRecord dict = FieldRecord::create();
    for (const QString &key : {u"2"_s, u"10"_s, u"1"_s})
        dict.setValue(key, RecordList::create());
    dict.setValue(u"10"_s, RecordList::create());
    QCOMPARE(dict.names(), (QStringList{u"2"_s, u"10"_s, u"1"_s}));
}

void tst_Records::keySetCountsDistinctNames()
{
    FieldRecord keys = FieldRecord::create();
    for (const QString &key : {u"1|6602|/部门-a"_s, u"1|6602|/部门-a"_s, u"2|6602|/部门-a"_s})
        keys.setValue(key, 1);
    QCOMPARE(keys.count(), 2);
}

void tst_Records::fieldsAreFoundAtAnySize_data()
{
    QTest::addColumn<int>("fields");
    // A row has a handful of fields; the wizard's keyed maps hold a field per card, and past a
    // size a record looks names up through an index of its own.
    for (const int fields : {1, 7, 15, 16, 17, 300})
        QTest::addRow("%d fields", fields) << fields;
}

void tst_Records::fieldsAreFoundAtAnySize()
{
    QFETCH(int, fields);
    FieldRecord keyed = FieldRecord::create();
    QStringList order;
    for (int i = fields; i >= 1; --i) {
        keyed.setValue(QString::number(i), i);
        order.append(QString::number(i));
    }
    for (int i = 1; i <= fields; i += 3)
        keyed.setValue(QString::number(i), -i);

    const FieldRecord copy = keyed.copy();
    keyed.setValue(u"1"_s, 0);
    for (const FieldRecord &record : {keyed, copy}) {
        QCOMPARE(record.count(), fields);
        QCOMPARE(record.names(), order);
        QVERIFY(!record.contains(u"0"_s));
        for (int i = 2; i <= fields; ++i)
            QCOMPARE(record.value(QString::number(i)).toInt(), i % 3 == 1 ? -i : i);
    }
    QCOMPARE(keyed.value(u"1"_s).toInt(), 0);
    QCOMPARE(copy.value(u"1"_s).toInt(), -1);
}

void tst_Records::recordsOfOneShapeShareNothingButNames()
{
    const QStringList shape{Fields::FDeptID, Fields::FRate};
    FieldRecord first = FieldRecord::create(shape);
    FieldRecord second = FieldRecord::create(shape);
    QCOMPARE(first.names(), shape);
    QVERIFY(first.value(Fields::FRate).isEmpty());

    first.setValue(Fields::FRate, 0.5);
    first.setValue(Fields::FAcctID, 7);
    QCOMPARE(first.names(), (QStringList{Fields::FDeptID, Fields::FRate, Fields::FAcctID}));
    QCOMPARE(second.names(), shape);
    QVERIFY(second.value(Fields::FRate).isEmpty());
    QCOMPARE(shape.size(), 2);
}

void tst_Records::positionsAreOneBased()
{
    RecordList list = RecordList::create();
    QCOMPARE(list.append(expenseRow(1, 0.1)), 1);
    QCOMPARE(list.append(expenseRow(2, 0.2)), 2);
    QCOMPARE(list.append(expenseRow(3, 0.3)), 3);
    list.remove(2);
    QCOMPARE(list.count(), 2);
    QCOMPARE(list.at(2).value(Fields::FDeptID).toInt(), 3);
    const FieldRecord replacement = expenseRow(7, 0.7);
    list.replace(1, replacement);
    QVERIFY(list.at(1).isSameObject(replacement));
}

void tst_Records::noneRaisesInsteadOfCrashing_data()
{
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<int>("number");

    const RecordList none;
    const FieldRecord noRecord;
    RecordList two = RecordList::create();
    two.append(expenseRow(1, 1));
    two.append(expenseRow(2, 1));
    QTest::newRow("count of none") << Operation([=] { none.count(); }) << 91;
    QTest::newRow("append to none")
        << Operation([=] { RecordList(none).append(FieldRecord::create()); }) << 91;
    QTest::newRow("clone none") << Operation([=] { CloneRecordList(none); }) << 91;
    QTest::newRow("field of none") << Operation([=] { noRecord.value(u"x"_s); }) << 91;
    QTest::newRow("copy of none") << Operation([=] { noRecord.copy(); }) << 91;
    QTest::newRow("position 0") << Operation([=] { two.at(0); }) << 9;
    QTest::newRow("past the end") << Operation([=] { two.at(3); }) << 9;
    QTest::newRow("remove past the end") << Operation([=] { RecordList(two).remove(3); }) << 9;
    QTest::newRow("replace past the end")
        << Operation([=] { RecordList(two).replace(3, FieldRecord::create()); }) << 9;
}

void tst_Records::noneRaisesInsteadOfCrashing()
{
    QFETCH(Operation, operation);
    QFETCH(int, number);
    try {
        operation();
        QFAIL("the operation must raise");
    } catch (const Failure &failure) {
        QCOMPARE(failure.number(), number);
    }
}

void tst_Records::conversions_data()
{
    QTest::addColumn<FieldValue>("value");
    QTest::addColumn<QVariant>("asInt"); // invalid: raises
    QTest::addColumn<QString>("asText");

    QTest::newRow("empty") << FieldValue() << QVariant(0) << QString();
    QTest::newRow("integer") << FieldValue(12) << QVariant(12) << u"12"_s;
    QTest::newRow("half to even down") << FieldValue(2.5) << QVariant(2) << u"2.5"_s;
    QTest::newRow("half to even up") << FieldValue(3.5) << QVariant(4) << u"3.5"_s;
    QTest::newRow("numeric text") << FieldValue(u" 42 "_s) << QVariant(42) << u" 42 "_s;
    QTest::newRow("text") << FieldValue(u"abc"_s) << QVariant() << u"abc"_s;
    QTest::newRow("too large") << FieldValue(3e10) << QVariant() << u"30000000000"_s;
}

void tst_Records::conversions()
{
    QFETCH(FieldValue, value);
    QFETCH(QVariant, asInt);
    QFETCH(QString, asText);

    QCOMPARE(value.toText(), asText);
    if (asInt.isValid())
        QCOMPARE(value.toInt(), asInt.toInt());
    else
        QVERIFY_THROWS_EXCEPTION(Failure, value.toInt());
    QVERIFY_THROWS_EXCEPTION(Failure, FieldValue(RecordList::create()).toText());
}

void tst_Records::formatNumber_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("0.5") << 100 * 0.5 << u"50"_s;
    QTest::newRow("0.125") << 100 * 0.125 << u"12.5"_s;
    QTest::newRow("0.3333") << 100 * 0.3333 << u"33.33"_s;
    QTest::newRow("0.07") << 100 * 0.07 << u"7"_s;
    QTest::newRow("0.29") << 100 * 0.29 << u"29"_s;
    QTest::newRow("1/3") << 100.0 / 3 << u"33.3333333333333"_s;
    QTest::newRow("1") << 100 * 1.0 << u"100"_s;
    QTest::newRow("0") << 0.0 << u"0"_s;
    QTest::newRow("negative zero") << -0.0 << u"0"_s;
}

void tst_Records::formatNumber()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(AllocFix::formatNumber(value), text);
}

void tst_Records::travelsThroughQVariant()
{
    RecordList list = RecordList::create();
    list.append(expenseRow(1, 0.5));
    const QVariant variant = FieldValue(list).toVariant();
    QVERIFY(FieldValue::fromVariant(variant).toList().isSameObject(list));

    const FieldRecord record = FieldRecord::create();
    const QVariant recordVariant = QVariant::fromValue(record);
    QVERIFY(recordVariant.value<FieldRecord>().isSameObject(record));

    QCOMPARE(FieldValue::fromVariant(QVariant(qint16(2))).toInt(), 2);
    QCOMPARE(FieldValue::fromVariant(QVariant(0.25)).toDouble(), 0.25);
    QVERIFY(FieldValue::fromVariant(QVariant()).isEmpty());
    QVERIFY_THROWS_EXCEPTION(Failure, FieldValue::fromVariant(QVariant(QPoint(1, 2))));
}

QTEST_MAIN(tst_Records)
#include "tst_records.moc"
