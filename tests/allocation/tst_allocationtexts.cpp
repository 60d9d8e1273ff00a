#include "allocation/AllocationTexts.h"
#include "entry/ComponentUnload.h"
#include "host/ByName.h"
#include "host/ErrorRecord.h"
#include "records/FieldRecord.h"
#include "records/RecordFields.h"
#include "support/FakeDesktop.h"
#include "support/FakeItemService.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using namespace AllocFix;
using namespace AllocFix::Testing;

namespace {
RecordList items(const QList<QPair<QString, QString>> &classAndItem)
{
    RecordList list = RecordList::create();
    for (const auto &[className, itemName] : classAndItem) {
        FieldRecord item = FieldRecord::create();
        item.setValue(Fields::FItemClassName, className);
        item.setValue(Fields::FItemName, itemName);
        list.append(item);
    }
    return list;
}
} // namespace

class tst_AllocationTexts : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { unloadComponent(); }

    void itemListText_data();
    void itemListText();
    void departmentName_data();
    void departmentName();
    void departmentNameAsksTheItemServiceEachTime();
    void itemServiceFailureReachesTheCaller();
};

void tst_AllocationTexts::itemListText_data()
{
    QTest::addColumn<RecordList>("list");
    QTest::addColumn<QString>("text");
    QTest::newRow("none") << RecordList() << QString();
    QTest::newRow("empty list") << RecordList::create() << QString();
    QTest::newRow("two items") << items({{u"A"_s, u"a"_s}, {u"B"_s, u"b"_s}}) << u"/A-a/B-b"_s;
    QTest::newRow("no item chosen") << items({{u"部门"_s, u"..."_s}}) << u"/部门-..."_s;
}

void tst_AllocationTexts::itemListText()
{
    QFETCH(RecordList, list);
    QFETCH(QString, text);
    QCOMPARE(AllocationTexts::ItemListText(list), text);
}

void tst_AllocationTexts::departmentName_data()
{
    QTest::addColumn<bool>("withDepartments");
    QTest::addColumn<qint32>("id");
    QTest::addColumn<QString>("name");
    QTest::newRow("found") << true << 12 << u"生产一车间"_s;
    QTest::newRow("first") << true << 3 << u"管理部"_s;
    QTest::newRow("not found") << true << 99 << QString();
    QTest::newRow("empty list") << false << 3 << QString();
    QTest::newRow("zero") << true << 0 << QString();
}

void tst_AllocationTexts::departmentName()
{
    QFETCH(bool, withDepartments);
    QFETCH(qint32, id);
    QFETCH(QString, name);
    FakeDesktop desktop;
    desktop.propsString = u"Language=CHS;AcctSet=test;"_s;
    FakeItemService itemService;
    if (withDepartments) {
        itemService.addDepartment(3, u"管理部"_s);
        itemService.addDepartment(12, u"生产一车间"_s);
    }

    QCOMPARE(AllocationTexts::DepartmentName(id), name);
    QCOMPARE(itemService.calls.size(), 1);
    const FakeItemService::Call &call = itemService.calls.first();
    QCOMPARE(call.props, u"Language=CHS;AcctSet=test;"_s);
    QCOMPARE(call.itemClassId, qint16(2));
    QVERIFY(isMissingArgument(call.condition));
}

void tst_AllocationTexts::departmentNameAsksTheItemServiceEachTime()
{
    FakeDesktop desktop;
    FakeItemService itemService;
    itemService.addDepartment(3, u"管理部"_s);
    QCOMPARE(AllocationTexts::DepartmentName(3), u"管理部"_s);
    QCOMPARE(AllocationTexts::DepartmentName(3), u"管理部"_s);
    QCOMPARE(itemService.created, 2);
}

void tst_AllocationTexts::itemServiceFailureReachesTheCaller()
{
    FakeDesktop desktop;
    {
        QVERIFY_THROWS_EXCEPTION(Failure, AllocationTexts::DepartmentName(3));
    }
    FakeItemService itemService;
    itemService.fails = true;
    QVERIFY_THROWS_EXCEPTION(Failure, AllocationTexts::DepartmentName(3));
}

QTEST_MAIN(tst_AllocationTexts)
#include "tst_allocationtexts.moc"
