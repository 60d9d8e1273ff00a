#include "allocation/AllocationRules.h"
#include "allocation/ItemsDiffer.h"
#include "entry/ComponentUnload.h"
#include "host/ErrorRecord.h"
#include "records/FieldRecord.h"
#include "records/RecordFields.h"
#include "support/FakeAccountLookups.h"
#include "support/FakeDesktop.h"
#include "widgets/ItemGrid.h"
#include "widgets/ItemGridRows.h"

#include <QApplication>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace AllocFix;
using AllocFix::Testing::FakeAccountLookups;
using AllocFix::Testing::FakeDesktop;

namespace {

using Choices = QList<QPair<qint32, qint32>>;
constexpr qint32 NoList = -1;

// Items as class ID → item ID pairs, named after their IDs. A first pair of (NoList, 0) stands
// for no list at all.
RecordList items(const Choices &choices)
{
    if (!choices.isEmpty() && choices.first().first == NoList)
        return {};
    RecordList list = RecordList::create();
    for (const auto &[classId, itemId] : choices) {
        FieldRecord item = FieldRecord::create();
        item.setValue(Fields::FItemClassID, classId);
        item.setValue(Fields::FItemClassName, u"类别%1"_s.arg(classId));
        item.setValue(Fields::FItemID, itemId);
        item.setValue(Fields::FItemName, u"项目%1"_s.arg(itemId));
        list.append(item);
    }
    return list;
}

// Each data row as "class name:class ID=item name:item ID".
QStringList shownRows(const ItemGrid &grid)
{
    QStringList rows;
    for (int row = grid.headerRows() + 1; row <= grid.rows(); ++row) {
        rows.append(grid.cellText(row, 1) + u':' + grid.cellData(row, 1).toString() + u'=' +
                    grid.cellText(row, 2) + u':' + grid.cellData(row, 2).toString());
    }
    return rows;
}

QStringList readRows(const RecordList &list)
{
    QStringList rows;
    for (qsizetype position = 1; position <= list.count(); ++position) {
        const FieldRecord item = list.at(position);
        rows.append(item.value(Fields::FItemClassName).toText() + u':' +
                    item.value(Fields::FItemClassID).toText() + u'=' +
                    item.value(Fields::FItemName).toText() + u':' +
                    item.value(Fields::FItemID).toText());
    }
    return rows;
}

FakeAccountLookups::Account accountWithClasses(qint32 id, const QList<qint32> &classIds)
{
    FakeAccountLookups::Account account{id, u"5501"_s, u"管理费用"_s, true, {}};
    for (qint32 classId : classIds)
        account.classes.append({classId, u"类别%1"_s.arg(classId)});
    return account;
}

} // namespace

class tst_ItemGrid : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup();

    void itemsDiffer_data();
    void itemsDiffer();
    void unreadableItemsRaise();

    void fillReadAndComplete_data();
    void fillReadAndComplete();
    void unknownAccountDisablesAndKeepsRows();
    void fillNeverEnables();

    void userAsksForAnItem_data();
    void userAsksForAnItem();
};

void tst_ItemGrid::cleanup()
{
    unloadComponent();
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
}

void tst_ItemGrid::itemsDiffer_data()
{
    QTest::addColumn<Choices>("x");
    QTest::addColumn<Choices>("y");
    QTest::addColumn<bool>("differ");
    const Choices none{{NoList, 0}};

    QTest::newRow("both none") << none << none << false;
    QTest::newRow("none and a list") << none << Choices{} << true;
    QTest::newRow("a list and none") << Choices{{1, 11}} << none << true;
    QTest::newRow("both empty") << Choices{} << Choices{} << false;
    QTest::newRow("same pairs") << Choices{{1, 11}, {2, 22}} << Choices{{1, 11}, {2, 22}} << false;
    QTest::newRow("same pairs, other order")
        << Choices{{1, 11}, {2, 22}} << Choices{{2, 22}, {1, 11}} << false;
    QTest::newRow("one item replaced")
        << Choices{{1, 11}, {2, 22}} << Choices{{1, 11}, {2, 23}} << true;
    QTest::newRow("different lengths") << Choices{{1, 11}} << Choices{{1, 11}, {2, 22}} << true;
    QTest::newRow("class missing from y")
        << Choices{{1, 11}, {3, 0}} << Choices{{1, 11}, {2, 0}} << false;
    QTest::newRow("class missing from y with an item")
        << Choices{{1, 11}, {3, 33}} << Choices{{1, 11}, {2, 33}} << true;
    QTest::newRow("later item of a class counts")
        << Choices{{1, 11}, {1, 12}} << Choices{{1, 12}, {2, 22}} << false;
}

void tst_ItemGrid::itemsDiffer()
{
    QFETCH(Choices, x);
    QFETCH(Choices, y);
    QFETCH(bool, differ);
    QCOMPARE(ItemsDiffer(items(x), items(y)), differ);
}

// Taken for "different", an unreadable item would let an unchecked row pass as a change.
void tst_ItemGrid::unreadableItemsRaise()
{
    RecordList unreadable = items({{1, 11}, {2, 22}});
    unreadable.at(2).setValue(Fields::FItemID, u"twenty-two"_s);
    QVERIFY_THROWS_EXCEPTION(Failure, ItemsDiffer(unreadable, items({{1, 11}, {2, 22}})));
    QVERIFY_THROWS_EXCEPTION(Failure, ItemsDiffer(items({{1, 11}, {2, 22}}), unreadable));
}

void tst_ItemGrid::fillReadAndComplete_data()
{
    QTest::addColumn<QList<qint32>>("accountClasses");
    QTest::addColumn<Choices>("previous");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<bool>("complete");

    QTest::newRow("classes 1 and 3 kept, 2 shown ...")
        << QList<qint32>{1, 2, 3} << Choices{{1, 11}, {3, 33}}
        << QStringList{u"类别1:1=项目11:11"_s, u"类别2:2=...:0"_s, u"类别3:3=项目33:33"_s} << false;
    QTest::newRow("no previous items")
        << QList<qint32>{1, 2} << Choices{{NoList, 0}}
        << QStringList{u"类别1:1=...:0"_s, u"类别2:2=...:0"_s} << false;
    QTest::newRow("every class chosen")
        << QList<qint32>{2, 1} << Choices{{1, 11}, {2, 22}}
        << QStringList{u"类别2:2=项目22:22"_s, u"类别1:1=项目11:11"_s} << true;
    QTest::newRow("item of a class the account lacks is dropped")
        << QList<qint32>{2, 3} << Choices{{1, 11}, {2, 22}}
        << QStringList{u"类别2:2=项目22:22"_s, u"类别3:3=...:0"_s} << false;
    QTest::newRow("first item of a repeated class") << QList<qint32>{1} << Choices{{1, 11}, {1, 12}}
                                                    << QStringList{u"类别1:1=项目11:11"_s} << true;
    QTest::newRow("account without classes")
        << QList<qint32>{} << Choices{{1, 11}} << QStringList{} << true;
}

void tst_ItemGrid::fillReadAndComplete()
{
    QFETCH(QList<qint32>, accountClasses);
    QFETCH(Choices, previous);
    QFETCH(QStringList, expected);
    QFETCH(bool, complete);
    FakeDesktop desktop;
    FakeAccountLookups lookups;
    lookups.addAccount(accountWithClasses(7, accountClasses));
    ItemGrid grid;
    grid.setRows(5); // rows of an earlier account go

    FillItemGrid(&grid, 7, items(previous));

    QCOMPARE(shownRows(grid), expected);
    QCOMPARE(grid.rows(), grid.headerRows() + expected.size());
    QCOMPARE(itemsComplete(ReadItemGrid(&grid)), complete);
    const RecordList read = ReadItemGrid(&grid);
    QCOMPARE(readRows(read), expected);
    QVERIFY(!read.isSameObject(ReadItemGrid(&grid)));
    QCOMPARE(lookups.getAccountKeys, QVariantList{7});
}

void tst_ItemGrid::unknownAccountDisablesAndKeepsRows()
{
    FakeDesktop desktop;
    FakeAccountLookups lookups;
    lookups.addAccount(accountWithClasses(7, {1, 2}));
    ItemGrid grid;
    FillItemGrid(&grid, 7, items({{1, 11}}));
    const QStringList before = shownRows(grid);

    FillItemGrid(&grid, 0, items({}));

    QVERIFY(!grid.isEnabled());
    QCOMPARE(shownRows(grid), before);
    QCOMPARE(lookups.accountItemRequests, QList<qint32>{7});
}

void tst_ItemGrid::fillNeverEnables()
{
    FakeDesktop desktop;
    FakeAccountLookups lookups;
    lookups.addAccount(accountWithClasses(7, {1}));
    ItemGrid grid;
    grid.setEnabled(false);
    FillItemGrid(&grid, 7, {});
    QVERIFY(!grid.isEnabled());
    QCOMPARE(shownRows(grid), QStringList{u"类别1:1=...:0"_s});
}

void tst_ItemGrid::userAsksForAnItem_data()
{
    QTest::addColumn<QString>("gesture");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("state");
    QTest::addColumn<bool>("asks");

    for (const QString &gesture : {u"double-click"_s, u"F7"_s, u"Enter"_s, u"Space"_s})
        QTest::addRow("%s on the item", qPrintable(gesture)) << gesture << 2 << QString() << true;
    QTest::newRow("the ... button") << u"button"_s << 2 << QString() << true;
    QTest::newRow("double-click on the class") << u"double-click"_s << 1 << QString() << false;
    QTest::newRow("F7 on the class") << u"F7"_s << 1 << QString() << false;
    QTest::newRow("other key on the item") << u"A"_s << 2 << QString() << false;
    for (const QString &state : {u"locked"_s, u"disabled"_s}) {
        QTest::addRow("double-click, %s", qPrintable(state))
            << u"double-click"_s << 2 << state << false;
        QTest::addRow("F7, %s", qPrintable(state)) << u"F7"_s << 2 << state << false;
    }
}

void tst_ItemGrid::userAsksForAnItem()
{
    QFETCH(QString, gesture);
    QFETCH(int, column);
    QFETCH(QString, state);
    QFETCH(bool, asks);
    FakeDesktop desktop;
    ItemGrid grid;
    grid.resize(300, 120);
    grid.setRows(3);
    for (int row = 2; row <= 3; ++row) {
        grid.setCellText(row, 1, u"类别"_s);
        grid.setCellText(row, 2, u"..."_s);
    }
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    grid.setCurrentCell(1, column - 1); // grid row 3
    const QRect buttonRect = grid.chooseButtonRect(3);
    grid.setLocked(state == u"locked");
    grid.setEnabled(state != u"disabled");

    QList<QList<qint32>> requests;
    connect(&grid, &ItemGrid::CellNotify, this,
            [&](qint32 action, qint32 &row, qint32 notifiedColumn, qint32) {
                requests.append({action, row, notifiedColumn});
            });
    const QPoint cellCentre = grid.visualRect(grid.model()->index(1, column - 1)).center();
    if (gesture == u"double-click") {
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cellCentre);
        QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, cellCentre);
    } else if (gesture == u"button")
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, buttonRect.center());
    else if (gesture == u"F7")
        QTest::keyClick(&grid, Qt::Key_F7);
    else if (gesture == u"Enter")
        QTest::keyClick(&grid, Qt::Key_Return);
    else if (gesture == u"Space")
        QTest::keyClick(&grid, Qt::Key_Space);
    else
        QTest::keyClick(&grid, Qt::Key_A);

    const QList<QList<qint32>> expected{{ItemGrid::ChooseItemAction, 3, 2}};
    QCOMPARE(requests, asks ? expected : QList<QList<qint32>>{});
}

QTEST_MAIN(tst_ItemGrid)
#include "tst_itemgrid.moc"
