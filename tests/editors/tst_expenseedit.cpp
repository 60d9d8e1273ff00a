#include "allocation/AllocationRules.h"
#include "allocation/AllocationState.h"
#include "editors/ItemGridComplete.h"
#include "editors/frmExpenseEdit.h"
#include "entry/ComponentUnload.h"
#include "records/FieldRecord.h"
#include "records/RecordFields.h"
#include "support/AccessibleNames.h"
#include "support/FakeAccountLookups.h"
#include "support/FakeDesktop.h"
#include "support/FakeErrorReporter.h"
#include "support/FakeItemService.h"
#include "support/MessageRecorder.h"
#include "support/ModalDriver.h"
#include "widgets/ControlTag.h"
#include "widgets/ItemGrid.h"
#include "widgets/ItemGridRows.h"

#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include <functional>

using namespace Qt::StringLiterals;
using namespace AllocFix;
using namespace AllocFix::Testing;

namespace {

constexpr qint32 CardId = 501;

// The outside world of the editor: departments, accounts with their item classes, lookups.
struct World {
    FakeDesktop desktop;
    FakeItemService items;
    FakeAccountLookups lookups;
    FakeErrorReporter errors;
    MessageRecorder messages;
    // The messages as the test's steps left them, before the editor was closed.
    QStringList seen;

    World()
    {
        items.addDepartment(11, u"管理部"_s);
        items.addDepartment(12, u"销售部"_s);
        lookups.addAccount({12, u"5501"_s, u"管理费用"_s, true, {{1, u"部门"_s}, {2, u"项目"_s}}});
        lookups.addAccount({20, u"6601"_s, u"销售费用"_s, true, {{2, u"项目"_s}, {3, u"客户"_s}}});
        lookups.addAccount({30, u"5502"_s, u"折旧费"_s, true, {}});
        lookups.addAccount({13, u"55"_s, u"费用"_s, false, {}});
    }
};

RecordList cardDepartments()
{
    RecordList list = RecordList::create();
    for (const auto &[id, name, rate] :
         {std::tuple{11, u"管理部"_s, 0.6}, std::tuple{12, u"销售部"_s, 0.4}}) {
        FieldRecord record = FieldRecord::create();
        record.setValue(Fields::FItemID, id);
        record.setValue(Fields::FItemName, name);
        record.setValue(Fields::FRate, rate);
        list.append(record);
    }
    return list;
}

// A row of department 11 on account 5501 with items 101 (class 1) and 201 (class 2).
FieldRecord storedRow(double rate = 0.5)
{
    FieldRecord row = FieldRecord::create();
    row.setValue(Fields::FAlterID, CardId);
    row.setValue(Fields::FDeptID, 11);
    row.setValue(Fields::FAcctID, 12);
    row.setValue(Fields::FAcctNumber, u"5501"_s);
    row.setValue(Fields::FAcctName, u"管理费用"_s);
    RecordList items = RecordList::create();
    for (const auto &[classId, itemId] : {std::pair{1, 101}, std::pair{2, 201}}) {
        FieldRecord item = FieldRecord::create();
        item.setValue(Fields::FItemClassID, classId);
        item.setValue(Fields::FItemClassName, classId == 1 ? u"部门"_s : u"项目"_s);
        item.setValue(Fields::FItemID, itemId);
        item.setValue(Fields::FItemName, u"项目%1"_s.arg(itemId));
        items.append(item);
    }
    row.setValue(Fields::Detail, items);
    row.setValue(Fields::FRate, rate);
    return row;
}

struct Raised {
    QString kind;
    FieldRecord row;
};

template<class T = QWidget>
T *control(QWidget *editor, const QString &name)
{
    return editor->findChild<T *>(name);
}

QString focusName()
{
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
}

// The focus once the editor has done what it does after the event at hand.
QString settledFocus()
{
    QTest::qWait(10);
    if (!QTest::qWaitFor([] { return QApplication::focusWidget() != nullptr; }, 2000))
        return {};
    return focusName();
}

// "class:item=name" per grid data row.
QStringList gridRows(QWidget *editor)
{
    const auto *grid = control<ItemGrid>(editor, u"kgItem"_s);
    QStringList rows;
    for (int row = grid->headerRows() + 1; row <= grid->rows(); ++row) {
        rows.append(grid->cellData(row, 1).toString() + u':' + grid->cellData(row, 2).toString() +
                    u'=' + grid->cellText(row, 2));
    }
    return rows;
}

// Runs the editor modally on the row (none in add mode) and the test's steps on it. An editor
// the steps leave open is closed without saving. Returns the events it raised.
QList<Raised> runEditor(World &world, qint32 mode, const FieldRecord &row,
                        const std::function<void(QWidget *editor)> &steps)
{
    QList<Raised> raised;
    frmExpenseEdit editor;
    editor.setDepData(cardDepartments());
    editor.setCurrentFAlterID(CardId);
    editor.setEditMode(mode);
    if (row)
        editor.setData(row);
    QObject::connect(&editor, &frmExpenseEdit::DataAdded, [&](const FieldRecord &saved) {
        raised.append({u"added"_s, saved.copy()});
    });
    QObject::connect(&editor, &frmExpenseEdit::DataModified, [&](const FieldRecord &saved) {
        raised.append({u"modified"_s, saved.copy()});
    });
    whenModalShown([&](QWidget *shown) {
        QTRY_VERIFY(QApplication::focusWidget() != nullptr);
        steps(shown);
        world.seen = world.messages.texts();
        if (shown->isVisible()) {
            world.messages.answerNext(MessageAnswer::No);
            control<QPushButton>(shown, u"btClose"_s)->click();
        }
    });
    editor.showModal();
    return raised;
}

void typeAccount(QWidget *editor, const QString &text)
{
    // Back from a dialog of its own, the editor is active again before the user types.
    editor->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(editor));
    auto *box = control<QLineEdit>(editor, u"txtExpenseAcct"_s);
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, text);
}

} // namespace

class tst_ExpenseEdit : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup();

    void captionFollowsTheMode_data();
    void captionFollowsTheMode();
    void editShowsTheRow();
    void addClosedAtOnceAsks_data();
    void addClosedAtOnceAsks();
    void addThenSaveThroughTheControls();
    void checksInOrder_data();
    void checksInOrder();
    void closeAsksOnlyAfterAChange_data();
    void closeAsksOnlyAfterAChange();
    void viewModeLocks();
    void lookupKey_data();
    void lookupKey();
    void leavingTheAccountField_data();
    void leavingTheAccountField();
    void refusedCodeKeepsTheClickFromActing();
    void typedCodeIsCheckedBeforeSaving_data();
    void typedCodeIsCheckedBeforeSaving();
    void itemChoice_data();
    void itemChoice();
    void departmentPick_data();
    void departmentPick();
    void helpAndEscape();
    void typedRateIsTheRateSaved_data();
    void typedRateIsTheRateSaved();
    void failingAccountDataIsReported();
    void failingCodeCheckKeepsTheTypedCode();
    void unreadableRowIsToldNotSaved();
    void itemGridComplete_data();
    void itemGridComplete();
    void everyActivationFocusesTheDepartment_data();
    void everyActivationFocusesTheDepartment();
};

void tst_ExpenseEdit::cleanup()
{
    unloadComponent();
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
}

void tst_ExpenseEdit::captionFollowsTheMode_data()
{
    QTest::addColumn<qint32>("mode");
    QTest::addColumn<QString>("caption");
    QTest::newRow("add") << 1 << u"折旧费用分配情况 - 新增"_s;
    QTest::newRow("view") << 2 << u"折旧费用分配情况 - 查看"_s;
    QTest::newRow("edit") << 3 << u"折旧费用分配情况 - 编辑"_s;
    QTest::newRow("unknown") << 7 << u"折旧费用分配情况 - "_s;
}

void tst_ExpenseEdit::captionFollowsTheMode()
{
    QFETCH(qint32, mode);
    QFETCH(QString, caption);
    World world;
    QString shown;
    QString focused;
    runEditor(world, mode, mode == 1 ? FieldRecord() : storedRow(), [&](QWidget *editor) {
        shown = editor->windowTitle();
        focused = settledFocus();
    });
    QCOMPARE(shown, caption);
    QCOMPARE(focused, u"txtDept"_s);
}

void tst_ExpenseEdit::editShowsTheRow()
{
    World world;
    QString dept, deptTag, account, accountTag, label;
    double rate = 0;
    QStringList rows, nameless;
    runEditor(world, 3, storedRow(0.125), [&](QWidget *editor) {
        nameless = namelessControls(editor);
        dept = control<QLineEdit>(editor, u"txtDept"_s)->text();
        deptTag = controlTag(control(editor, u"lblDept"_s));
        account = control<QLineEdit>(editor, u"txtExpenseAcct"_s)->text();
        accountTag = controlTag(control(editor, u"txtExpenseAcct"_s));
        label = controlTag(control(editor, u"lblExpenseAcct"_s));
        rate = control<QDoubleSpinBox>(editor, u"fltRate"_s)->value();
        rows = gridRows(editor);
    });
    QCOMPARE(dept, u"管理部"_s);
    QCOMPARE(deptTag, u"11"_s);
    QCOMPARE(account, u"管理费用"_s);
    QCOMPARE(accountTag, u"12"_s);
    QCOMPARE(label, u"5501"_s);
    QCOMPARE(rate, 12.5);
    QCOMPARE(rows, (QStringList{u"1:101=项目101"_s, u"2:201=项目201"_s}));
    QCOMPARE(CurrentDeptID, 11);
    QCOMPARE(CurrentDeptName, u"管理部"_s);
    QCOMPARE(nameless.join(u", "_s), QString());
}

void tst_ExpenseEdit::addClosedAtOnceAsks_data()
{
    QTest::addColumn<MessageAnswer>("answer");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<bool>("closes");
    const QString question = u"数据已变化，是否保存？"_s;
    QTest::newRow("No") << MessageAnswer::No << QStringList{question} << true;
    QTest::newRow("Yes") << MessageAnswer::Yes << QStringList{question, u"请选择部门！"_s} << false;
    QTest::newRow("Cancel") << MessageAnswer::Cancel << QStringList{question} << false;
}

void tst_ExpenseEdit::addClosedAtOnceAsks()
{
    QFETCH(MessageAnswer, answer);
    QFETCH(QStringList, messages);
    QFETCH(bool, closes);
    World world;
    bool closed = false;
    QString focused;
    const QList<Raised> raised = runEditor(world, 1, {}, [&](QWidget *editor) {
        world.messages.answerNext(answer);
        editor->close();
        closed = !editor->isVisible();
        if (!closed)
            focused = settledFocus();
        QCOMPARE(world.messages.texts(), messages);
        const MessageRequest &question = world.messages.messages().first();
        QCOMPARE(question.buttons, MessageButtons::YesNoCancel);
        QCOMPARE(question.icon, MessageIcon::Question);
        QCOMPARE(question.title, u"岚岫提示"_s);
    });
    QCOMPARE(closed, closes);
    if (answer == MessageAnswer::Yes)
        QCOMPARE(focused, u"txtDept"_s);
    QVERIFY(raised.isEmpty());
}

void tst_ExpenseEdit::addThenSaveThroughTheControls()
{
    World world;
    world.lookups.itemLookupAnswer = {true, 202, u"项目202"_s, {}, true};
    QStringList captions;
    QList<int> raisedAfter;
    QList<Raised> raised;

    raised = runEditor(world, 1, {}, [&](QWidget *editor) {
        whenNextModalShown([](QWidget *dialog) {
            auto *lv = dialog->findChild<QTreeWidget *>(u"lvDept"_s);
            lv->setCurrentItem(lv->topLevelItem(1));
            dialog->findChild<QPushButton *>(u"btSure"_s)->click();
        });
        control<QToolButton>(editor, u"btDept"_s)->click();
        typeAccount(editor, u"6601"_s);
        QTest::keyClick(control(editor, u"txtExpenseAcct"_s), Qt::Key_Tab);
        auto *grid = control<ItemGrid>(editor, u"kgItem"_s);
        for (int row : {2, 3}) {
            qint32 notified = row;
            Q_EMIT grid->CellNotify(ItemGrid::ChooseItemAction, notified, 2, 0);
        }
        control<QDoubleSpinBox>(editor, u"fltRate"_s)->setValue(25);
        auto *save = control<QPushButton>(editor, u"btSave"_s);
        captions.append(editor->windowTitle());
        QTest::mouseClick(save, Qt::LeftButton);
        captions.append(editor->windowTitle());
        QTest::mouseClick(save, Qt::LeftButton);
        control<QDoubleSpinBox>(editor, u"fltRate"_s)->setValue(30);
        QTest::mouseClick(save, Qt::LeftButton);
        QCOMPARE(world.messages.texts(), QStringList{});
        control<QPushButton>(editor, u"btClose"_s)->click();
        QVERIFY(!editor->isVisible());
    });

    QCOMPARE(captions, (QStringList{u"折旧费用分配情况 - 新增"_s, u"折旧费用分配情况 - 编辑"_s}));
    QCOMPARE(raised.size(), 2);
    QCOMPARE(raised.at(0).kind, u"added"_s);
    QCOMPARE(raised.at(1).kind, u"modified"_s);
    const FieldRecord &row = raised.at(0).row;
    QCOMPARE(row.value(Fields::FAlterID).toInt(), CardId);
    QCOMPARE(row.value(Fields::FDeptID).toInt(), 12);
    QCOMPARE(row.value(Fields::FAcctID).toInt(), 20);
    QCOMPARE(row.value(Fields::FAcctNumber).toText(), u"6601"_s);
    QCOMPARE(row.value(Fields::FAcctName).toText(), u"销售费用"_s);
    QCOMPARE(row.value(Fields::FRate).toDouble(), 0.25);
    const RecordList items = row.value(Fields::Detail).toList();
    QCOMPARE(items.count(), 2);
    QCOMPARE(items.at(2).value(Fields::FItemClassID).toInt(), 3);
    QCOMPARE(items.at(2).value(Fields::FItemID).toInt(), 202);
    QCOMPARE(raised.at(1).row.value(Fields::FRate).toDouble(), 0.3);
    QCOMPARE(world.lookups.itemLookupRequests, (QList<QPair<qint32, qint32>>{{2, 0}, {3, 0}}));
}

void tst_ExpenseEdit::checksInOrder_data()
{
    QTest::addColumn<QStringList>("faults");
    QTest::addColumn<double>("rate");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<double>("storedRate");

    QTest::newRow("no department")
        << QStringList{u"department"_s} << 50.0 << u"请选择部门！"_s << u"txtDept"_s << 0.0;
    QTest::newRow("no account") << QStringList{u"account"_s} << 50.0 << u"请输入或者选择科目！"_s
                                << u"txtExpenseAcct"_s << 0.0;
    QTest::newRow("item missing") << QStringList{u"item"_s} << 50.0 << u"缺少核算项目数据！"_s
                                  << u"kgItem"_s << 0.0;
    QTest::newRow("rate 0") << QStringList{} << 0.0 << u"输入的比例范围必须在0.01-100之间！"_s
                            << u"fltRate"_s << 0.0;
    QTest::newRow("several faults: the first") << QStringList{u"department"_s, u"account"_s} << 0.0
                                               << u"请选择部门！"_s << u"txtDept"_s << 0.0;
    QTest::newRow("item missing and rate 0: the item")
        << QStringList{u"item"_s} << 0.0 << u"缺少核算项目数据！"_s << u"kgItem"_s << 0.0;
    QTest::newRow("rate 0.01 accepted")
        << QStringList{} << 0.01 << QString() << QString() << 0.0001;
    QTest::newRow("rate 100 accepted") << QStringList{} << 100.0 << QString() << QString() << 1.0;
}

void tst_ExpenseEdit::checksInOrder()
{
    QFETCH(QStringList, faults);
    QFETCH(double, rate);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    QFETCH(double, storedRate);
    World world;
    QString focused;
    const QList<Raised> raised = runEditor(world, 3, storedRow(), [&](QWidget *editor) {
        if (faults.contains(u"department"))
            control<QLineEdit>(editor, u"txtDept"_s)->clear();
        if (faults.contains(u"account"))
            control<QLineEdit>(editor, u"txtExpenseAcct"_s)->clear();
        if (faults.contains(u"item"))
            control<ItemGrid>(editor, u"kgItem"_s)->setCellData(3, 2, 0);
        control<QDoubleSpinBox>(editor, u"fltRate"_s)->setValue(rate);
        control<QPushButton>(editor, u"btSave"_s)->click();
        focused = settledFocus();
    });
    if (message.isEmpty()) {
        QVERIFY(world.seen.isEmpty());
        QCOMPARE(raised.size(), 1);
        QCOMPARE(raised.first().row.value(Fields::FRate).toDouble(), storedRate);
    } else {
        QCOMPARE(world.seen.first(), message);
        QCOMPARE(world.messages.messages().first().icon, MessageIcon::Information);
        QCOMPARE(focused, focus);
        QVERIFY(raised.isEmpty());
    }
}

void tst_ExpenseEdit::closeAsksOnlyAfterAChange_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<double>("storedRate");
    QTest::addColumn<double>("savedRate");

    QTest::newRow("nothing") << QString() << 0.5 << -1.0;
    QTest::newRow("untouched rate of four decimals") << QString() << 0.3333 << -1.0;
    QTest::newRow("untouched rate of a third") << QString() << 1.0 / 3 << -1.0;
    QTest::newRow("account name only") << u"name"_s << 0.5 << -1.0;
    QTest::newRow("item of one class, rate kept whole") << u"item"_s << 1.0 / 3 << 1.0 / 3;
    QTest::newRow("rate") << u"rate"_s << 0.5 << 0.4;
    QTest::newRow("department") << u"department"_s << 0.5 << 0.5;
}

// Asked only after a change; Yes then saves the row once, with the rate as stored unless the
// rate was changed.
void tst_ExpenseEdit::closeAsksOnlyAfterAChange()
{
    QFETCH(QString, change);
    QFETCH(double, storedRate);
    QFETCH(double, savedRate);
    World world;
    FieldRecord row = storedRow(storedRate);
    if (change == u"name") {
        row.setValue(Fields::FAcctName, u"旧名称"_s);
        row.setValue(Fields::FAcctNumber, u"05501"_s);
    }
    bool closed = false;
    const QList<Raised> raised = runEditor(world, 3, row, [&](QWidget *editor) {
        if (change == u"item")
            control<ItemGrid>(editor, u"kgItem"_s)->setCellData(2, 2, 102);
        else if (change == u"rate")
            control<QDoubleSpinBox>(editor, u"fltRate"_s)->setValue(40);
        else if (change == u"department")
            CurrentDeptID = 12;
        world.messages.answerNext(MessageAnswer::Yes);
        control<QPushButton>(editor, u"btClose"_s)->click();
        closed = !editor->isVisible();
    });
    QVERIFY(closed);
    const bool asks = savedRate >= 0;
    QCOMPARE(world.messages.texts().size(), asks ? 1 : 0);
    QCOMPARE(raised.size(), asks ? 1 : 0);
    if (asks) {
        QCOMPARE(raised.first().kind, u"modified"_s);
        // To the last bit: QCOMPARE of doubles would forgive a rounding.
        QCOMPARE(QString::number(raised.first().row.value(Fields::FRate).toDouble(), 'g', 17),
                 QString::number(savedRate, 'g', 17));
        QCOMPARE(raised.first().row.value(Fields::FDeptID).toInt(),
                 change == u"department" ? 12 : 11);
    }
}

void tst_ExpenseEdit::viewModeLocks()
{
    World world;
    QStringList enabled;
    QStringList locked;
    bool closedWithoutQuestion = false;
    const QList<Raised> raised = runEditor(world, 2, storedRow(), [&](QWidget *editor) {
        for (const QString &name :
             {u"btSave"_s, u"btAdd"_s, u"btDept"_s, u"btExpenseAcct"_s, u"btClose"_s}) {
            if (control(editor, name)->isEnabled())
                enabled.append(name);
        }
        for (const QString &name : {u"txtDept"_s, u"txtExpenseAcct"_s}) {
            if (control<QLineEdit>(editor, name)->isReadOnly())
                locked.append(name);
        }
        if (control<ItemGrid>(editor, u"kgItem"_s)->isLocked())
            locked.append(u"kgItem"_s);
        if (control<QDoubleSpinBox>(editor, u"fltRate"_s)->isReadOnly())
            locked.append(u"fltRate"_s);
        QVERIFY(control(editor, u"kgItem"_s)->isEnabled());
        control<QDoubleSpinBox>(editor, u"fltRate"_s)->setValue(10);
        control<QPushButton>(editor, u"btSave"_s)->click();
        control<QPushButton>(editor, u"btClose"_s)->click();
        closedWithoutQuestion = !editor->isVisible() && world.messages.texts().isEmpty();
    });
    QCOMPARE(enabled, QStringList{u"btClose"_s});
    QCOMPARE(locked, (QStringList{u"txtDept"_s, u"txtExpenseAcct"_s, u"kgItem"_s, u"fltRate"_s}));
    QVERIFY(closedWithoutQuestion);
    QVERIFY(raised.isEmpty());
}

void tst_ExpenseEdit::lookupKey_data()
{
    QTest::addColumn<qint32>("mode");
    QTest::addColumn<QString>("how");
    QTest::addColumn<QVariant>("key");
    QTest::addColumn<QStringList>("rows");

    const QStringList rebuilt{u"2:201=项目201"_s, u"3:0=..."_s};
    QTest::newRow("F7 while typing") << 3 << u"F7 typing"_s << QVariant(u"66"_s) << rebuilt;
    QTest::newRow("button while typing") << 3 << u"button typing"_s << QVariant(u"66"_s) << rebuilt;
    QTest::newRow("button from the grid") << 3 << u"button grid"_s << QVariant(12) << rebuilt;
    QTest::newRow("F7 in view mode") << 2 << u"F7 view"_s << QVariant(u"管理费用"_s) << rebuilt;
}

void tst_ExpenseEdit::lookupKey()
{
    QFETCH(qint32, mode);
    QFETCH(QString, how);
    QFETCH(QVariant, key);
    QFETCH(QStringList, rows);
    World world;
    world.lookups.accountLookupAnswer = {true, 20, u"销售费用"_s, u"6601"_s, true};
    QStringList shown;
    QString focused;
    runEditor(world, mode, storedRow(), [&](QWidget *editor) {
        auto *box = control<QLineEdit>(editor, u"txtExpenseAcct"_s);
        if (how.endsWith(u"typing"))
            typeAccount(editor, u"66"_s);
        else if (how.endsWith(u"grid"))
            control(editor, u"kgItem"_s)->setFocus();
        else
            box->setFocus();
        if (how.startsWith(u"F7"))
            QTest::keyClick(box, Qt::Key_F7);
        else
            control<QToolButton>(editor, u"btExpenseAcct"_s)->click();
        shown = gridRows(editor);
        focused = settledFocus();
    });
    QCOMPARE(world.lookups.accountLookupKeys, QVariantList{key});
    QCOMPARE(shown, rows);
    QCOMPARE(focused, u"txtExpenseAcct"_s);
}

void tst_ExpenseEdit::leavingTheAccountField_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<bool>("gridEnabled");

    const QStringList kept{u"1:101=项目101"_s, u"2:201=项目201"_s};
    QTest::newRow("same code") << u"5501"_s << QString() << u"fltRate"_s << u"管理费用"_s << kept
                               << true;
    QTest::newRow("another account keeps common classes")
        << u"6601"_s << QString() << u"fltRate"_s << u"销售费用"_s
        << QStringList{u"2:201=项目201"_s, u"3:0=..."_s} << true;
    QTest::newRow("account without classes")
        << u"5502"_s << QString() << u"fltRate"_s << u"折旧费"_s << QStringList{} << true;
    QTest::newRow("unknown code") << u"9999"_s << u"未找到编码对应的数据！"_s << u"txtExpenseAcct"_s
                                  << u"9999"_s << kept << true;
    QTest::newRow("not a detail account") << u"55"_s << u"编码“55”不是最明细级的编码！"_s
                                          << u"txtExpenseAcct"_s << QString() << kept << true;
    QTest::newRow("emptied") << QString() << QString() << u"fltRate"_s << QString() << kept
                             << false;
}

void tst_ExpenseEdit::leavingTheAccountField()
{
    QFETCH(QString, typed);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    QFETCH(QString, text);
    QFETCH(QStringList, rows);
    QFETCH(bool, gridEnabled);
    World world;
    QString focused, shownText;
    QStringList shownRows;
    bool enabled = false;
    runEditor(world, 3, storedRow(), [&](QWidget *editor) {
        // A first visit resolves the loaded account, as the field starts with no account.
        control(editor, u"txtExpenseAcct"_s)->setFocus();
        QTest::keyClick(control(editor, u"txtExpenseAcct"_s), Qt::Key_Tab);
        typeAccount(editor, typed);
        if (typed.isEmpty())
            control<QLineEdit>(editor, u"txtExpenseAcct"_s)->clear();
        QTest::keyClick(control(editor, u"txtExpenseAcct"_s), Qt::Key_Tab);
        focused = settledFocus();
        shownText = control<QLineEdit>(editor, u"txtExpenseAcct"_s)->text();
        shownRows = gridRows(editor);
        enabled = control(editor, u"kgItem"_s)->isEnabled();
    });
    QCOMPARE(world.seen.value(0), message);
    QCOMPARE(focused, focus);
    QCOMPARE(shownText, text);
    QCOMPARE(shownRows, rows);
    QCOMPARE(enabled, gridEnabled);
}

void tst_ExpenseEdit::refusedCodeKeepsTheClickFromActing()
{
    World world;
    QString focused;
    QString text;
    const QList<Raised> raised = runEditor(world, 3, storedRow(), [&](QWidget *editor) {
        control<QDoubleSpinBox>(editor, u"fltRate"_s)->setValue(20);
        typeAccount(editor, u"9999"_s);
        QTest::mouseClick(control(editor, u"btSave"_s), Qt::LeftButton);
        focused = settledFocus();
        text = control<QLineEdit>(editor, u"txtExpenseAcct"_s)->selectedText();
    });
    QCOMPARE(world.seen.value(0), u"未找到编码对应的数据！"_s);
    QCOMPARE(focused, u"txtExpenseAcct"_s);
    QCOMPARE(text, u"9999"_s);
    QVERIFY(raised.isEmpty());
}

void tst_ExpenseEdit::typedCodeIsCheckedBeforeSaving_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("outcome"); // the saved account, or the last message
    for (const QString &keys : {u"Alt+S"_s, u"Esc, Yes"_s}) {
        QTest::addRow("%s, another account", qPrintable(keys))
            << keys << u"5502"_s << u"30 5502 折旧费"_s;
        QTest::addRow("%s, unknown code", qPrintable(keys))
            << keys << u"9999"_s << u"未找到编码对应的数据！"_s;
    }
}

// The save keys leave the focus in the account field: the typed code is checked as leaving the
// field checks it, so a saved row's account ID, number and name always belong together.
void tst_ExpenseEdit::typedCodeIsCheckedBeforeSaving()
{
    QFETCH(QString, keys);
    QFETCH(QString, typed);
    QFETCH(QString, outcome);
    World world;
    QString focused;
    const QList<Raised> raised = runEditor(world, 3, storedRow(), [&](QWidget *editor) {
        QWidget *box = control(editor, u"txtExpenseAcct"_s);
        control<QDoubleSpinBox>(editor, u"fltRate"_s)->setValue(20);
        typeAccount(editor, typed);
        if (keys == u"Alt+S") {
            const QSignalSpy clicked(control<QPushButton>(editor, u"btSave"_s),
                                     &QPushButton::clicked);
            QTest::keyClick(box, Qt::Key_S, Qt::AltModifier);
            QTRY_COMPARE(clicked.size(), 1);
        } else {
            world.messages.answerNext(MessageAnswer::Yes);
            QTest::keyClick(box, Qt::Key_Escape);
        }
        focused = settledFocus();
    });
    QString got = world.seen.isEmpty() ? QString() : world.seen.last();
    for (const Raised &saved : raised) {
        got = u"%1 %2 %3"_s.arg(saved.row.value(Fields::FAcctID).toInt())
                  .arg(saved.row.value(Fields::FAcctNumber).toText(),
                       saved.row.value(Fields::FAcctName).toText());
    }
    QCOMPARE(got, outcome);
    if (raised.isEmpty())
        QCOMPARE(focused, u"txtExpenseAcct"_s);
}

void tst_ExpenseEdit::itemChoice_data()
{
    QTest::addColumn<int>("answer"); // 0 cancelled, 1 detail item, 2 not a detail item, 3 failure
    QTest::addColumn<QString>("row");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("reported");

    QTest::newRow("cancelled") << 0 << u"2:201=项目201"_s << QString() << u"fltRate"_s << 0;
    QTest::newRow("chosen") << 1 << u"2:209=项目209"_s << QString() << u"fltRate"_s << 0;
    QTest::newRow("not a detail item")
        << 2 << u"2:201=项目201"_s << u"必须输入明细级资料！"_s << u"kgItem"_s << 0;
    QTest::newRow("lookup fails") << 3 << u"2:201=项目201"_s << QString() << u"kgItem"_s << 1;
}

void tst_ExpenseEdit::itemChoice()
{
    QFETCH(int, answer);
    QFETCH(QString, row);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    QFETCH(int, reported);
    World world;
    world.lookups.itemLookupAnswer = {answer != 0, 209, u"项目209"_s, {}, answer != 2};
    world.lookups.itemLookupFails = answer == 3;
    QStringList rows;
    QString focused;
    runEditor(world, 3, storedRow(), [&](QWidget *editor) {
        auto *grid = control<ItemGrid>(editor, u"kgItem"_s);
        grid->setFocus();
        grid->setCurrentCell(1, 1);
        QTest::keyClick(grid, Qt::Key_F7);
        rows = gridRows(editor);
        focused = settledFocus();
    });
    QCOMPARE(world.lookups.itemLookupRequests, (QList<QPair<qint32, qint32>>{{2, 201}}));
    QCOMPARE(rows.value(1), row);
    QCOMPARE(world.seen.value(0), message);
    QCOMPARE(focused, focus);
    QCOMPARE(world.errors.reports.size(), reported);
    QVERIFY(world.errors.extrasEmpty);
}

void tst_ExpenseEdit::departmentPick_data()
{
    QTest::addColumn<qint32>("mode");
    QTest::addColumn<bool>("pick");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("tag");

    QTest::newRow("edit, picked") << 3 << true << u"销售部"_s << u"12"_s;
    QTest::newRow("edit, closed without a pick") << 3 << false << u"管理部"_s << u"11"_s;
    QTest::newRow("add, closed: the department picked last") << 1 << false << u"旧部门"_s << u"9"_s;
}

void tst_ExpenseEdit::departmentPick()
{
    QFETCH(qint32, mode);
    QFETCH(bool, pick);
    QFETCH(QString, shown);
    QFETCH(QString, tag);
    World world;
    CurrentDeptID = 9;
    CurrentDeptName = u"旧部门"_s;
    QString text, deptTag, focused;
    QStringList listed;
    runEditor(world, mode, mode == 1 ? FieldRecord() : storedRow(), [&](QWidget *editor) {
        whenNextModalShown([&](QWidget *dialog) {
            auto *lv = dialog->findChild<QTreeWidget *>(u"lvDept"_s);
            for (int index = 0; index < lv->topLevelItemCount(); ++index)
                listed.append(lv->topLevelItem(index)->text(0));
            lv->setCurrentItem(lv->topLevelItem(1));
            dialog->findChild<QPushButton *>(pick ? u"btSure"_s : u"btClose"_s)->click();
        });
        control<QToolButton>(editor, u"btDept"_s)->click();
        text = control<QLineEdit>(editor, u"txtDept"_s)->text();
        deptTag = controlTag(control(editor, u"lblDept"_s));
        // The editor is active again once the department dialog has gone; the focus it then
        // gets is its own focus widget.
        focused = editor->focusWidget()->objectName();
    });
    QCOMPARE(listed, (QStringList{u"管理部"_s, u"销售部"_s}));
    QCOMPARE(text, shown);
    QCOMPARE(deptTag, tag);
    QCOMPARE(focused, u"txtDept"_s);
}

void tst_ExpenseEdit::helpAndEscape()
{
    World world;
    bool closedByEsc = false;
    runEditor(world, 3, storedRow(), [&](QWidget *editor) {
        QTest::keyClick(control(editor, u"fltRate"_s), Qt::Key_F1);
        QTest::keyClick(control(editor, u"fltRate"_s), Qt::Key_Escape);
        closedByEsc = !editor->isVisible();
    });
    QCOMPARE(world.desktop.helpCalls.size(), 1);
    QCOMPARE(world.desktop.helpCalls.first().context, 90041);
    QVERIFY(closedByEsc);
    QVERIFY(world.messages.texts().isEmpty());
}

void tst_ExpenseEdit::typedRateIsTheRateSaved_data()
{
    QTest::addColumn<double>("stored");
    QTest::addColumn<QStringList>("typed"); // each typed over the box, then saved
    QTest::addColumn<QList<double>>("saved");

    QTest::newRow("a rate above 100 % can be corrected")
        << 1.5 << QStringList{u"100"_s} << QList<double>{1.0};
    QTest::newRow("the shown digits replace a finer rate")
        << 0.250049 << QStringList{u"25"_s} << QList<double>{0.25};
    QTest::newRow("the first rate does not come back after a save")
        << 0.250049 << QStringList{u"50"_s, u"25"_s} << QList<double>{0.5, 0.25};
}

// An untouched box keeps the stored rate exactly (see the save tests); an edited one stores what
// it shows.
void tst_ExpenseEdit::typedRateIsTheRateSaved()
{
    QFETCH(double, stored);
    QFETCH(QStringList, typed);
    QFETCH(QList<double>, saved);
    World world;
    const QList<Raised> raised = runEditor(world, 3, storedRow(stored), [&](QWidget *editor) {
        auto *box = control<QDoubleSpinBox>(editor, u"fltRate"_s);
        for (const QString &digits : typed) {
            box->setFocus();
            box->selectAll();
            QTest::keyClicks(box, digits);
            control<QPushButton>(editor, u"btSave"_s)->click();
        }
    });
    QList<double> rates;
    for (const Raised &event : raised)
        rates.append(event.row.value(Fields::FRate).toDouble());
    QCOMPARE(world.seen, QStringList{});
    QCOMPARE(rates, saved);
}

void tst_ExpenseEdit::failingAccountDataIsReported()
{
    World world;
    world.lookups.getAccountFails = true;
    runEditor(world, 3, storedRow(), [](QWidget *) {});
    QCOMPARE(world.seen, QStringList{u"错误原因:account data unavailable"_s});
}

// A code that could not be checked never passes with the account shown before it.
void tst_ExpenseEdit::failingCodeCheckKeepsTheTypedCode()
{
    World world;
    QString focused;
    const QList<Raised> raised = runEditor(world, 3, storedRow(), [&](QWidget *editor) {
        control(editor, u"txtExpenseAcct"_s)->setFocus();
        QTest::keyClick(control(editor, u"txtExpenseAcct"_s), Qt::Key_Tab);
        typeAccount(editor, u"6601"_s);
        world.lookups.getAccountFails = true;
        QTest::keyClick(control(editor, u"txtExpenseAcct"_s), Qt::Key_Tab);
        focused = settledFocus();
        // A change of its own, so that a save would write the row.
        control<QDoubleSpinBox>(editor, u"fltRate"_s)->setValue(30);
        control<QPushButton>(editor, u"btSave"_s)->click();
    });
    QCOMPARE(focused, u"txtExpenseAcct"_s);
    QVERIFY(raised.isEmpty());
    QCOMPARE(world.seen.value(0), u"错误原因:account data unavailable"_s);
}

// A row that cannot be shown or compared is told once on opening, and a save of it is refused
// with its reason rather than taken for a change.
void tst_ExpenseEdit::unreadableRowIsToldNotSaved()
{
    World world;
    FieldRecord row = storedRow();
    row.setValue(Fields::FRate, u"?"_s);
    QStringList opened;
    const QList<Raised> raised = runEditor(world, 3, row, [&](QWidget *editor) {
        opened = world.messages.texts();
        control<QDoubleSpinBox>(editor, u"fltRate"_s)->setValue(30);
        control<QPushButton>(editor, u"btSave"_s)->click();
        // Closing tells the failure again before it asks.
        world.messages.answerNext(MessageAnswer::Ok);
    });
    QCOMPARE(opened.size(), 1);
    QVERIFY(opened.first().startsWith(u"错误原因:"_s));
    QVERIFY(raised.isEmpty());
    QCOMPARE(world.seen.size(), 2);
    QVERIFY(world.seen.last().startsWith(u"错误原因:"_s));
}

void tst_ExpenseEdit::itemGridComplete_data()
{
    // Per data row, the item cell's text and data.
    QTest::addColumn<QList<QPair<QString, QVariant>>>("items");
    QTest::addColumn<bool>("complete");
    using Items = QList<QPair<QString, QVariant>>;
    QTest::newRow("no data rows") << Items{} << true;
    QTest::newRow("every item chosen") << Items{{u"A"_s, 5}, {u"B"_s, 7}} << true;
    QTest::newRow("first row without item") << Items{{u"..."_s, 0}, {u"B"_s, 7}} << false;
    QTest::newRow("last row without item") << Items{{u"A"_s, 5}, {u"..."_s, 0}} << false;
    // The data decides, not the text.
    QTest::newRow("a name over item 0") << Items{{u"A"_s, 0}} << false;
    QTest::newRow("\"...\" over an item") << Items{{u"..."_s, 9}} << true;
    QTest::newRow("item as a number text") << Items{{u"A"_s, u"12"_s}} << true;
    QTest::newRow("item 0 as a double") << Items{{u"A"_s, 0.0}} << false;
}

// The editor's check and the finish check's rule agree on every grid.
void tst_ExpenseEdit::itemGridComplete()
{
    using Items = QList<QPair<QString, QVariant>>;
    QFETCH(Items, items);
    QFETCH(bool, complete);
    ItemGrid grid;
    grid.setRows(grid.headerRows() + static_cast<int>(items.size()));
    for (int index = 0; index < items.size(); ++index) {
        const int row = grid.headerRows() + 1 + index;
        grid.setCellText(row, ItemGrid::ClassColumn, u"项目"_s);
        grid.setCellData(row, ItemGrid::ClassColumn, index + 1);
        grid.setCellText(row, ItemGrid::ItemColumn, items[index].first);
        grid.setCellData(row, ItemGrid::ItemColumn, items[index].second);
    }
    QCOMPARE(ItemGridComplete(&grid), complete);
    FieldRecord row = FieldRecord::create();
    row.setValue(Fields::FAcctID, 10);
    row.setValue(Fields::FRate, 0.5);
    row.setValue(Fields::Detail, ReadItemGrid(&grid));
    QCOMPARE(!breaks(rowFaults(row), AllocationRule::ItemsIncomplete), complete);
}

void tst_ExpenseEdit::everyActivationFocusesTheDepartment_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("accountText");
    QTest::newRow("from the rate") << u"fltRate"_s << QString() << u"管理费用"_s;
    QTest::newRow("from the item grid") << u"kgItem"_s << QString() << u"管理费用"_s;
    // Leaving the field on the way checks the typed code, so the field shows the name.
    QTest::newRow("from a typed account code") << u"txtExpenseAcct"_s << u"6601"_s << u"销售费用"_s;
}

// The user comes back to the editor from another program: the department field has the focus,
// not only when the editor is first shown.
void tst_ExpenseEdit::everyActivationFocusesTheDepartment()
{
    QFETCH(QString, from);
    QFETCH(QString, typed);
    QFETCH(QString, accountText);
    World world;
    QString before, after, shownAccount;
    runEditor(world, 3, storedRow(), [&](QWidget *editor) {
        if (!typed.isEmpty())
            typeAccount(editor, typed);
        control(editor, from)->setFocus();
        before = settledFocus();
        QApplication::setActiveWindow(nullptr);
        QTRY_VERIFY(!editor->isActiveWindow());
        QApplication::setActiveWindow(editor);
        QTRY_VERIFY(editor->isActiveWindow());
        after = settledFocus();
        shownAccount = control<QLineEdit>(editor, u"txtExpenseAcct"_s)->text();
    });
    QCOMPARE(before, from);
    QCOMPARE(after, u"txtDept"_s);
    QCOMPARE(shownAccount, accountText);
    QVERIFY(world.seen.isEmpty());
}

QTEST_MAIN(tst_ExpenseEdit)
#include "tst_expenseedit.moc"
