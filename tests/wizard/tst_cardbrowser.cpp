#include "editors/frmExpenseEdit.h"
#include "entry/ComponentUnload.h"
#include "entry/ShowUpdate.h"
#include "forms/Twips.h"
#include "records/RecordFields.h"
#include "support/AccessibleNames.h"
#include "support/AllocationRecords.h"
#include "support/FakeAccountLookups.h"
#include "support/FakeCardServices.h"
#include "support/FakeDesktop.h"
#include "support/FakeErrorReporter.h"
#include "support/FakeItemService.h"
#include "support/MessageRecorder.h"
#include "support/ModalDriver.h"
#include "support/WizardDriver.h"
#include "widgets/ReportList.h"
#include "wizard/frmUpdateData.h"

#include <QFontDatabase>
#include <QLabel>
#include <QListWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace AllocFix;
using namespace AllocFix::Testing;

namespace {

const QString AtFirst = u"当前位置已经是第一条！"_s;
const QString AtLast = u"当前位置已经是最后一条！"_s;

// Each row as "text | sub-items... #tag".
QStringList rowsOf(QWidget *wizard, const QString &list)
{
    auto *view = wizard->findChild<QTreeWidget *>(list);
    QStringList rows;
    for (int index = 0; index < view->topLevelItemCount(); ++index) {
        const QTreeWidgetItem *item = view->topLevelItem(index);
        QStringList columns;
        for (int column = 0; column < view->columnCount(); ++column)
            columns.append(item->text(column));
        rows.append(columns.join(u" | "_s) + u" #"_s + rowTag(item));
    }
    return rows;
}

QStringList linesOf(QWidget *wizard)
{
    auto *list = wizard->findChild<QListWidget *>(u"listInfo"_s);
    QStringList lines;
    for (int row = 0; row < list->count(); ++row)
        lines.append(list->item(row)->text());
    return lines;
}

QString currentLabel(QWidget *wizard)
{
    return wizard->findChild<QLabel *>(u"lblCurrent"_s)->text();
}

// Cards 101.. with one department and one row each, all of them left for manual work.
void addCards(FakeCardServices &services, int count)
{
    for (qint32 id = 101; id < 101 + count; ++id) {
        FakeCardServices::Card &card = services.addCard(id);
        card.departments = recordList({departmentRecord(1, u"管理部"_s, 1)});
        card.expenses = recordList({expenseRow(1, id, 1)});
        services.manualCards.append(id);
    }
}

} // namespace

class tst_CardBrowser : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup();

    void showsTheCard();
    void editorsDepartmentDialogNamesTheCard();
    void emptyRowsSelectNothing();
    void navigation_data();
    void navigation();
    void revisitKeepsTheEditedRows();
    void cardViewer();
    void loadFailures_data();
    void loadFailures();
    void escapeClosesWithoutSaving();
    void largeCountsFit_data();
    void largeCountsFit();
};

void tst_CardBrowser::cleanup()
{
    unloadComponent();
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
}

void tst_CardBrowser::showsTheCard()
{
    FakeDesktop desktop;
    FakeCardServices services;
    FakeItemService itemService;
    itemService.addDepartment(1, u"行政管理部"_s);
    itemService.addDepartment(2, u"生产一车间"_s);
    FakeCardServices::Card &card = services.addCard(101);
    card.departments = recordList(
        {departmentRecord(1, u"管理部"_s, 0.07), departmentRecord(2, u"一车间"_s, 0.93)});
    card.expenses = recordList(
        {expenseRow(1, 10, 0.29, {itemRecord(u"项目"_s, u"A"_s), itemRecord(u"职员"_s, u"..."_s)}),
         expenseRow(2, 11, 1.0 / 3), expenseRow(2, 12, 0.125)});
    services.manualCards = {101};
    QStringList departments;
    QStringList expenses;
    QStringList lines;
    QString selectedTag;
    QString assetName;
    QStringList nameless;

    runWizard([&](frmUpdateData &wizard) {
        startAdjustment(wizard);
        nameless = namelessControls(&wizard);
        departments = rowsOf(&wizard, u"lvDept"_s);
        expenses = rowsOf(&wizard, u"lvExpense"_s);
        lines = linesOf(&wizard);
        selectedTag = rowTag(wizard.findChild<QTreeWidget *>(u"lvExpense"_s)->currentItem());
        assetName = wizard.property("AssetName").toString();
    });
    QCOMPARE(departments, (QStringList{u"管理部 | 7 #1"_s, u"一车间 | 93 #2"_s}));
    QCOMPARE(expenses, (QStringList{u"行政管理部 | 6602.10 - 费用10 | /项目-A/职员-... | 29 #1"_s,
                                    u"生产一车间 | 6602.11 - 费用11 |  | 33.3333333333333 #2"_s,
                                    u"生产一车间 | 6602.12 - 费用12 |  | 12.5 #3"_s}));
    QCOMPARE(lines, (QStringList{u"入账日期：2024-01-101"_s, u"资产名称： 资产101"_s,
                                 u"资产编码： ZC101"_s}));
    QCOMPARE(selectedTag, u"1"_s);
    QCOMPARE(assetName, u"资产101"_s);
    QCOMPARE(nameless.join(u", "_s), QString());
}

// The wizard hands the card's asset name to the expense editor, which shows it in its
// department dialog.
void tst_CardBrowser::editorsDepartmentDialogNamesTheCard()
{
    FakeDesktop desktop;
    FakeCardServices services;
    FakeItemService itemService;
    // The editor shows the row's account and its items.
    FakeAccountLookups lookups;
    lookups.addAccount({10, u"6602.10"_s, u"费用10"_s, true, {}});
    services.addCard(101).expenses = recordList({expenseRow(1, 10, 1)});
    services.manualCards = {101};
    QString label;
    runWizard([&](frmUpdateData &wizard) {
        startAdjustment(wizard);
        whenNextModalShown([&](QWidget *editor) {
            whenNextModalShown([&](QWidget *dialog) {
                label = dialog->findChild<QLabel *>(u"lblAssetName"_s)->toolTip();
                dialog->close();
            });
            editor->findChild<QToolButton *>(u"btDept"_s)->click();
            // In view mode the editor closes without asking.
            qobject_cast<frmExpenseEdit *>(editor)->setEditMode(frmExpenseEdit::ModeView);
            editor->close();
        });
        click(&wizard, u"cmdEdit"_s);
    });
    QCOMPARE(label, u"资产101 - 部门分配情况"_s);
}

void tst_CardBrowser::emptyRowsSelectNothing()
{
    FakeDesktop desktop;
    FakeCardServices services;
    services.addCard(101);
    services.manualCards = {101};
    bool selected = true;
    RecordList stored;

    runWizard([&](frmUpdateData &wizard) {
        startAdjustment(wizard);
        selected = wizard.findChild<QTreeWidget *>(u"lvExpense"_s)->currentItem() != nullptr;
        stored = wizard.AllDict().value(u"1"_s).toList();
    });
    QVERIFY(!selected);
    QVERIFY(!stored.isNull());
    QCOMPARE(stored.count(), 0);
}

void tst_CardBrowser::navigation_data()
{
    QTest::addColumn<int>("cards");
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<int>("position");
    QTest::addColumn<QStringList>("messages");

    const QStringList all{u"cmdFirst"_s, u"cmdPrevious"_s, u"cmdNext"_s, u"cmdLast"_s};
    QTest::newRow("one card: every command at its limit")
        << 1 << all << 1 << QStringList{AtFirst, AtFirst, AtLast, AtLast};
    QTest::newRow("previous on the first")
        << 3 << QStringList{u"cmdPrevious"_s} << 1 << QStringList{AtFirst};
    QTest::newRow("next to the end and beyond")
        << 3 << QStringList{u"cmdNext"_s, u"cmdNext"_s, u"cmdNext"_s} << 3 << QStringList{AtLast};
    QTest::newRow("last, then last again")
        << 3 << QStringList{u"cmdLast"_s, u"cmdLast"_s} << 3 << QStringList{AtLast};
    QTest::newRow("last, previous, first")
        << 3 << QStringList{u"cmdLast"_s, u"cmdPrevious"_s, u"cmdFirst"_s} << 1 << QStringList{};
    QTest::newRow("ten cards: two-digit position")
        << 10 << QStringList{u"cmdLast"_s} << 10 << QStringList{};
}

void tst_CardBrowser::navigation()
{
    QFETCH(int, cards);
    QFETCH(QStringList, clicks);
    QFETCH(int, position);
    QFETCH(QStringList, messages);
    FakeDesktop desktop;
    FakeCardServices services;
    FakeItemService itemService;
    addCards(services, cards);
    MessageRecorder recorder;
    QString current;
    QStringList lines;
    QStringList loadedKeys;
    int loads = 0;

    runWizard([&](frmUpdateData &wizard) {
        startAdjustment(wizard);
        for (const QString &name : clicks)
            click(&wizard, name);
        current = currentLabel(&wizard);
        lines = linesOf(&wizard);
        for (const QString &key : wizard.AllDict().names())
            loadedKeys.append(key);
        loads = static_cast<int>(services.calls.filter(u"GetCardInf"_s).size());
    });
    QCOMPARE(recorder.texts(), messages);
    for (const MessageRequest &box : recorder.messages()) {
        QCOMPARE(box.title, u"岚岫提示！"_s);
        QCOMPARE(box.icon, MessageIcon::Information);
        QCOMPARE(box.buttons, MessageButtons::Ok);
    }
    QCOMPARE(current, u"当前第 %1 张"_s.arg(position));
    QCOMPARE(lines.value(1), u"资产名称： 资产%1"_s.arg(100 + position));
    QVERIFY(loadedKeys.contains(QString::number(position)));
    // A command at its limit loads nothing.
    QCOMPARE(loads, 1 + static_cast<int>(clicks.size() - messages.size()));
}

void tst_CardBrowser::revisitKeepsTheEditedRows()
{
    FakeDesktop desktop;
    FakeCardServices services;
    FakeItemService itemService;
    addCards(services, 2);
    QStringList rowsBack;
    RecordList firstVisit;
    RecordList secondVisit;

    runWizard([&](frmUpdateData &wizard) {
        startAdjustment(wizard);
        // As the expense commands would: the change goes into the list stored in AllDict.
        firstVisit = wizard.AllDict().value(u"1"_s).toList();
        firstVisit.append(expenseRow(1, 77, 0.5));
        click(&wizard, u"cmdNext"_s);
        click(&wizard, u"cmdPrevious"_s);
        rowsBack = rowsOf(&wizard, u"lvExpense"_s);
        secondVisit = wizard.AllDict().value(u"1"_s).toList();
    });
    QCOMPARE(services.callsOf(u"GetExpense 101"_s), 1);
    QCOMPARE(services.callsOf(u"GetDept 101"_s), 2);
    QCOMPARE(services.callsOf(u"GetCardInf 101"_s), 2);
    QCOMPARE(rowsBack.size(), 2);
    QVERIFY(rowsBack.last().contains(u"6602.77"_s));
    QVERIFY(secondVisit.isSameObject(firstVisit));
}

void tst_CardBrowser::cardViewer()
{
    FakeDesktop desktop;
    FakeCardServices services;
    addCards(services, 2);
    QStringList calls;

    runWizard([&](frmUpdateData &wizard) {
        startAdjustment(wizard);
        click(&wizard, u"cmdNext"_s);
        services.calls.clear();
        click(&wizard, u"cmdView"_s);
        calls = services.calls;
    });
    QCOMPARE(calls, (QStringList{u"GetDetail 102"_s, u"ShowCard"_s}));
    QCOMPARE(services.viewerCalls, (QStringList{u"ViewJudge true"_s, u"WantEditFromView 2"_s,
                                                u"DataView"_s, u"ShowCard"_s}));
    QVERIFY(services.viewedDetail.isSameObject(services.cards[102].detail));
}

void tst_CardBrowser::loadFailures_data()
{
    QTest::addColumn<QString>("failing");
    QTest::addColumn<bool>("itemServiceFails");
    QTest::addColumn<int>("reports");
    QTest::addColumn<QString>("emptyList");

    QTest::newRow("departments: silent") << u"GetDept"_s << false << 0 << u"lvDept"_s;
    QTest::newRow("expense rows: reported") << u"GetExpense"_s << false << 1 << u"lvExpense"_s;
    QTest::newRow("reference data: reported") << u"GetCardInf"_s << false << 1 << u"listInfo"_s;
    QTest::newRow("department name: silent, row kept") << QString() << true << 0 << QString();
    QTest::newRow("card detail: reported") << u"GetDetail"_s << false << 1 << QString();
}

void tst_CardBrowser::loadFailures()
{
    QFETCH(QString, failing);
    QFETCH(bool, itemServiceFails);
    QFETCH(int, reports);
    QFETCH(QString, emptyList);
    FakeDesktop desktop;
    FakeCardServices services;
    FakeItemService itemService;
    itemService.fails = itemServiceFails;
    addCards(services, 2);
    FakeErrorReporter reporter;
    MessageRecorder messages;
    QStringList emptyLists;
    QString assetName;

    // On the second card, so that nothing of the first one may stay.
    runWizard([&](frmUpdateData &wizard) {
        startAdjustment(wizard);
        services.failing = QStringList{failing};
        click(&wizard, u"cmdNext"_s);
        click(&wizard, u"cmdView"_s);
        assetName = wizard.AssetName();
        for (const QString &name : {u"lvDept"_s, u"lvExpense"_s}) {
            if (rowsOf(&wizard, name).isEmpty())
                emptyLists.append(name);
        }
        if (linesOf(&wizard).isEmpty())
            emptyLists.append(u"listInfo"_s);
    });
    QCOMPARE(emptyLists, emptyList.isEmpty() ? QStringList() : QStringList{emptyList});
    QCOMPARE(reporter.reports.size(), reports);
    if (reports > 0)
        QCOMPARE(reporter.reports.first().description, failing + u" failed"_s);
    QVERIFY(messages.messages().isEmpty());
    QCOMPARE(services.viewerCalls.isEmpty(), failing == u"GetDetail");
    QCOMPARE(assetName, failing == u"GetCardInf" ? QString() : u"资产102"_s);
}

void tst_CardBrowser::escapeClosesWithoutSaving()
{
    FakeDesktop desktop;
    FakeCardServices services;
    FakeItemService itemService;
    addCards(services, 2);
    bool closed = false;

    runWizard([&](frmUpdateData &wizard) {
        startAdjustment(wizard);
        auto *rows = wizard.findChild<QTreeWidget *>(u"lvExpense"_s);
        rows->setFocus();
        QTest::keyClick(rows, Qt::Key_Escape);
        closed = !wizard.isVisible();
    });
    QVERIFY(closed);
    QCOMPARE(services.callsOf(u"SaveDoubleExpense"_s), 0);
    QCOMPARE(ShowUpdate().UpdateResult(), 0);
}

void tst_CardBrowser::largeCountsFit_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<int>("cards");
    QTest::newRow("Chinese, 3 cards: as designed") << u"CHS"_s << 3;
    QTest::newRow("Chinese, 20000 cards") << u"CHS"_s << 20000;
    QTest::newRow("English, 20000 cards") << u"ENG"_s << 20000;
}

// The count labels and the card commands share one row: long counts must neither be cut nor
// run into the commands, whose captions must still fit.
void tst_CardBrowser::largeCountsFit()
{
    QFETCH(QString, language);
    QFETCH(int, cards);
    FakeDesktop desktop;
    const QMap<QString, QString> english{
        {u"共 "_s, u"Total: "_s}, {u"当前第 "_s, u"Current: "_s}, {u" 张"_s, u" "_s}};
    desktop.translate = [&](const QString &key) {
        return language == u"ENG" ? english.value(key, key) : key;
    };
    desktop.formFont = language == u"ENG" ? QFontDatabase::systemFont(QFontDatabase::GeneralFont)
                                          : QFont(u"Noto Sans CJK SC"_s, 9);
    FakeCardServices services;
    FakeItemService itemService;
    addCards(services, 1);
    for (qint32 id = 102; id < 101 + cards; ++id)
        services.manualCards.append(id);
    services.cards.insert(100 + cards, services.cards.value(101));
    QStringList faults;
    QRect total;
    int right = 0;
    runWizard([&](frmUpdateData &wizard) {
        startAdjustment(wizard);
        click(&wizard, u"cmdLast"_s);
        int left = 0;
        for (const QString &name : {u"lblTotal"_s, u"lblCurrent"_s, u"cmdFirst"_s, u"cmdPrevious"_s,
                                    u"cmdNext"_s, u"cmdLast"_s, u"cmdFinish"_s}) {
            auto *control = wizard.findChild<QWidget *>(name);
            const QString text = control->property("text").toString().remove(u'&').trimmed();
            // A label's text keeps a space to what follows; a caption keeps a margin.
            const int room = qobject_cast<QLabel *>(control)
                                 ? control->width() - control->fontMetrics().horizontalAdvance(u' ')
                                 : control->width() - 8;
            if (control->fontMetrics().horizontalAdvance(text) > room || control->x() < left)
                faults.append(name);
            left = right = control->geometry().right() + 1;
            total = total.isNull() ? control->geometry() : total;
        }
    });
    QCOMPARE(faults, QStringList());
    QCOMPARE(right, twips(7875));
    if (cards < 10)
        QCOMPARE(total, twipsRect(120, 3870, 975, 255));
}

QTEST_MAIN(tst_CardBrowser)
#include "tst_cardbrowser.moc"
