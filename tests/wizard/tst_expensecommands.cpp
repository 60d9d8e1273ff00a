#include "editors/frmExpenseEdit.h"
#include "entry/ComponentUnload.h"
#include "records/FieldRecord.h"
#include "records/RecordFields.h"
#include "support/AllocationRecords.h"
#include "support/FakeAccountLookups.h"
#include "support/FakeCardServices.h"
#include "support/FakeDesktop.h"
#include "support/FakeErrorReporter.h"
#include "support/FakeItemService.h"
#include "support/MessageRecorder.h"
#include "support/WizardDriver.h"
#include "widgets/ItemGrid.h"
#include "widgets/ReportList.h"
#include "wizard/frmUpdateData.h"

#include <QDoubleSpinBox>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include <functional>

using namespace Qt::StringLiterals;
using namespace AllocFix;
using namespace AllocFix::Testing;

namespace {

constexpr qint32 CardId = 101;

// One card left for manual work, with rows on accounts 10, 11, ... of department 1.
struct OneCard {
    FakeDesktop desktop;
    FakeCardServices services;
    FakeItemService itemService;
    MessageRecorder messages;

    explicit OneCard(int rows)
    {
        itemService.addDepartment(1, u"管理部"_s);
        FakeCardServices::Card &card = services.addCard(CardId);
        card.departments = recordList({departmentRecord(1, u"管理部"_s, 1)});
        for (int row = 0; row < rows; ++row)
            card.expenses.append(expenseRow(1, 10 + row, 0.1 * (row + 1)));
        services.manualCards = {CardId};
    }
};

QTreeWidget *expenseList(QWidget *wizard)
{
    return wizard->findChild<QTreeWidget *>(u"lvExpense"_s);
}

// Each row of lvExpense as "account #tag", the selected one marked with "*".
QStringList shownRows(QWidget *wizard)
{
    QTreeWidget *list = expenseList(wizard);
    QStringList rows;
    for (int index = 0; index < list->topLevelItemCount(); ++index) {
        QTreeWidgetItem *row = list->topLevelItem(index);
        rows.append((row->isSelected() ? u"*"_s : QString()) + row->text(1) + u" #"_s +
                    rowTag(row));
    }
    return rows;
}

QList<qint32> storedAccounts(const frmUpdateData &wizard)
{
    const RecordList rows = wizard.AllDict().value(u"1"_s).toList();
    QList<qint32> accounts;
    for (qsizetype position = 1; position <= rows.count(); ++position)
        accounts.append(rows.at(position).value(Fields::FAcctID).toInt());
    return accounts;
}

void selectRow(QWidget *wizard, int index)
{
    expenseList(wizard)->setCurrentItem(expenseList(wizard)->topLevelItem(index));
}

// Runs open (a click or double-click on the wizard) and acts on the expense editor it opens;
// returns whether one opened. The editor is then closed without saving.
bool withEditor(const std::function<void()> &open,
                const std::function<void(frmExpenseEdit &editor)> &action)
{
    bool opened = false;
    QTimer::singleShot(20, [&] {
        auto *editor = qobject_cast<frmExpenseEdit *>(QApplication::activeModalWidget());
        if (!editor)
            return;
        opened = true;
        action(*editor);
        // In view mode the editor closes without asking.
        editor->setEditMode(frmExpenseEdit::ModeView);
        editor->close();
    });
    open();
    QTest::qWait(40);
    return opened;
}

} // namespace

class tst_ExpenseCommands : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup();

    void withoutSelectionNothingHappens();
    void deleteRow_data();
    void deleteRow();
    void addStoresACopyAtTheEnd();
    void editReplacesItsRow_data();
    void editReplacesItsRow();
    void secondSaveAfterAnAddChangesTheNewRow();
    void editThroughTheEditorThenSave();
    void unreadRowsCannotBeChanged_data();
    void unreadRowsCannotBeChanged();
    void singleUnreadCardCanBeReadAgain_data();
    void singleUnreadCardCanBeReadAgain();
};

void tst_ExpenseCommands::cleanup()
{
    unloadComponent();
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
}

void tst_ExpenseCommands::withoutSelectionNothingHappens()
{
    OneCard card(0);
    bool editorOpened = true;
    int storedRows = -1;
    runWizard([&](frmUpdateData &wizard) {
        startAdjustment(wizard);
        editorOpened = withEditor([&] { click(&wizard, u"cmdEdit"_s); }, [](frmExpenseEdit &) {});
        click(&wizard, u"cmdDelete"_s);
        storedRows = static_cast<int>(wizard.AllDict().value(u"1"_s).toList().count());
    });
    QVERIFY(!editorOpened);
    QCOMPARE(storedRows, 0);
    QVERIFY(card.messages.texts().isEmpty());
}

void tst_ExpenseCommands::deleteRow_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("deleted");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QList<qint32>>("stored");

    QTest::newRow("row 2 of 3") << 3 << 1
                                << QStringList{u"*6602.10 - 费用10 #1"_s, u"6602.12 - 费用12 #2"_s}
                                << QList<qint32>{10, 12};
    QTest::newRow("the last row") << 3 << 2
                                  << QStringList{u"*6602.10 - 费用10 #1"_s,
                                                 u"6602.11 - 费用11 #2"_s}
                                  << QList<qint32>{10, 11};
    QTest::newRow("the only row") << 1 << 0 << QStringList{} << QList<qint32>{};
}

void tst_ExpenseCommands::deleteRow()
{
    QFETCH(int, rows);
    QFETCH(int, deleted);
    QFETCH(QStringList, shown);
    QFETCH(QList<qint32>, stored);
    OneCard card(rows);
    QStringList after;
    QList<qint32> accounts;
    bool storedIsShown = false;
    runWizard([&](frmUpdateData &wizard) {
        startAdjustment(wizard);
        selectRow(&wizard, deleted);
        click(&wizard, u"cmdDelete"_s);
        after = shownRows(&wizard);
        accounts = storedAccounts(wizard);
        storedIsShown = wizard.AllDict().value(u"1"_s).isList();
    });
    QCOMPARE(after, shown);
    QCOMPARE(accounts, stored);
    QVERIFY(storedIsShown);
    QVERIFY(card.messages.texts().isEmpty());
    QCOMPARE(card.services.callsOf(u"GetExpense 101"_s), 1);
}

void tst_ExpenseCommands::addStoresACopyAtTheEnd()
{
    OneCard card(2);
    FieldRecord added = expenseRow(1, 30, 0.25);
    QStringList shown;
    QList<qint32> accounts;
    qint32 editorCard = 0;
    qint32 editorMode = 0;
    runWizard([&](frmUpdateData &wizard) {
        startAdjustment(wizard);
        withEditor([&] { click(&wizard, u"cmdAdd"_s); },
                   [&](frmExpenseEdit &editor) {
                       editorCard = editor.CurrentFAlterID();
                       editorMode = editor.EditMode();
                       Q_EMIT editor.DataAdded(added);
                       // The editor goes on with its row: the stored one must not follow.
                       added.setValue(Fields::FAcctID, 99);
                   });
        shown = shownRows(&wizard);
        accounts = storedAccounts(wizard);
    });
    QCOMPARE(editorCard, CardId);
    QCOMPARE(editorMode, frmExpenseEdit::ModeAdd);
    QCOMPARE(shown, (QStringList{u"*6602.10 - 费用10 #1"_s, u"6602.11 - 费用11 #2"_s,
                                 u"6602.30 - 费用30 #3"_s}));
    QCOMPARE(accounts, (QList<qint32>{10, 11, 30}));
}

void tst_ExpenseCommands::editReplacesItsRow_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("edit button") << u"cmdEdit"_s;
    QTest::newRow("double-click") << u"double-click"_s;
}

void tst_ExpenseCommands::editReplacesItsRow()
{
    QFETCH(QString, how);
    OneCard card(3);
    qint32 openedOn = 0;
    qint32 mode = 0;
    QStringList afterFirst;
    QStringList afterSecond;
    QList<qint32> accounts;
    bool storedIsCopy = false;
    runWizard([&](frmUpdateData &wizard) {
        startAdjustment(wizard);
        selectRow(&wizard, 1);
        const auto open = [&] {
            if (how == u"cmdEdit") {
                click(&wizard, how);
                return;
            }
            QTreeWidget *list = expenseList(&wizard);
            const QPoint point = list->visualItemRect(list->topLevelItem(1)).center();
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, point);
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, point);
        };
        withEditor(open, [&](frmExpenseEdit &editor) {
            openedOn = editor.Data().value(Fields::FAcctID).toInt();
            mode = editor.EditMode();
            FieldRecord changed = editor.Data();
            changed.setValue(Fields::FAcctID, 40);
            changed.setValue(Fields::FAcctNumber, u"6602.40"_s);
            Q_EMIT editor.DataModified(changed);
            afterFirst = shownRows(&wizard);
            // However the selection moves, this editor's saves change the row it was opened on.
            selectRow(&wizard, 0);
            changed.setValue(Fields::FAcctID, 41);
            Q_EMIT editor.DataModified(changed);
            afterSecond = shownRows(&wizard);
            storedIsCopy = !wizard.AllDict().value(u"1"_s).toList().at(2).isSameObject(changed);
        });
        accounts = storedAccounts(wizard);
    });
    QCOMPARE(openedOn, 11);
    QCOMPARE(mode, frmExpenseEdit::ModeEdit);
    QCOMPARE(afterFirst, (QStringList{u"6602.10 - 费用10 #1"_s, u"*6602.40 - 费用11 #2"_s,
                                      u"6602.12 - 费用12 #3"_s}));
    QCOMPARE(afterSecond, afterFirst);
    QCOMPARE(accounts, (QList<qint32>{10, 41, 12}));
    QVERIFY(storedIsCopy);
}

void tst_ExpenseCommands::secondSaveAfterAnAddChangesTheNewRow()
{
    OneCard card(2);
    QStringList shown;
    QList<qint32> accounts;
    runWizard([&](frmUpdateData &wizard) {
        startAdjustment(wizard);
        withEditor([&] { click(&wizard, u"cmdAdd"_s); },
                   [&](frmExpenseEdit &editor) {
                       FieldRecord row = expenseRow(1, 30, 0.25);
                       Q_EMIT editor.DataAdded(row);
                       row.setValue(Fields::FAcctID, 31);
                       Q_EMIT editor.DataModified(row);
                   });
        shown = shownRows(&wizard);
        accounts = storedAccounts(wizard);
    });
    QCOMPARE(accounts, (QList<qint32>{10, 11, 31}));
    QCOMPARE(shown.last(), u"*6602.30 - 费用30 #3"_s);
}

void tst_ExpenseCommands::editThroughTheEditorThenSave()
{
    OneCard card(0);
    card.services.cards[CardId].expenses =
        recordList({expenseRow(1, 10, 0.4, {itemRecord(u"项目"_s, u"A"_s, 5)})});
    FakeAccountLookups lookups;
    lookups.addAccount({10, u"6602.10"_s, u"费用10"_s, true, {{2, u"项目"_s}}});
    bool closed = false;
    runWizard([&](frmUpdateData &wizard) {
        startAdjustment(wizard);
        withEditor([&] { click(&wizard, u"cmdEdit"_s); },
                   [](frmExpenseEdit &editor) {
                       editor.findChild<QDoubleSpinBox *>(u"fltRate"_s)->setValue(100);
                       QTest::mouseClick(editor.findChild<QPushButton *>(u"btSave"_s),
                                         Qt::LeftButton);
                   });
        click(&wizard, u"cmdFinish"_s);
        closed = !wizard.isVisible();
    });
    QVERIFY(closed);
    QCOMPARE(card.services.callsOf(u"SaveDoubleExpense"_s), 1);
    const RecordList saved = card.services.savedAllocations.value(u"1"_s).toList();
    QCOMPARE(saved.count(), 1);
    const FieldRecord row = saved.at(1);
    QCOMPARE(row.value(Fields::FRate).toDouble(), 1.0);
    QCOMPARE(row.value(Fields::FAlterID).toInt(), CardId);
    QCOMPARE(row.value(Fields::FAcctID).toInt(), 10);
    const RecordList items = row.value(Fields::Detail).toList();
    QCOMPARE(items.count(), 1);
    QCOMPARE(items.at(1).value(Fields::FItemID).toInt(), 5);
    QVERIFY(card.messages.texts().isEmpty());
}

void tst_ExpenseCommands::unreadRowsCannotBeChanged_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("failingCard");
    for (const QString &command : {u"cmdAdd"_s, u"cmdEdit"_s, u"cmdDelete"_s}) {
        QTest::addRow("%s, rows of the card before loaded", qPrintable(command)) << command << 2;
        QTest::addRow("%s, no card loaded yet", qPrintable(command)) << command << 1;
    }
}

void tst_ExpenseCommands::unreadRowsCannotBeChanged()
{
    QFETCH(QString, command);
    QFETCH(int, failingCard);
    OneCard card(1);
    const FakeErrorReporter errors;
    card.services.addCard(102).expenses = recordList({expenseRow(1, 20, 1)});
    card.services.manualCards.append(102);
    // The card service fails once: when it first reads the rows of the card at failingCard.
    int readings = 0;
    card.services.beforeCall = [&](const QString &member) {
        const bool fails = member == u"GetExpense" && ++readings == failingCard;
        card.services.failing = fails ? QStringList{member} : QStringList();
    };
    bool editorOpened = false;
    QStringList stored;
    QStringList retried;
    runWizard([&](frmUpdateData &wizard) {
        startAdjustment(wizard);
        if (failingCard == 2)
            click(&wizard, u"cmdNext"_s);
        editorOpened = withEditor(
            [&] { click(&wizard, command); },
            [](frmExpenseEdit &editor) { Q_EMIT editor.DataAdded(expenseRow(1, 30, 0.5)); });
        stored = wizard.AllDict().names();
        // Moving to the card again reads its rows again.
        click(&wizard, failingCard == 1 ? u"cmdNext"_s : u"cmdPrevious"_s);
        click(&wizard, failingCard == 1 ? u"cmdPrevious"_s : u"cmdNext"_s);
        retried = shownRows(&wizard);
    });
    QVERIFY(!editorOpened);
    // Edit and delete have no row to act on: the card shows none.
    if (command == u"cmdAdd") {
        QCOMPARE(
            card.messages.texts(),
            QStringList{
                u"当前卡片的折旧费用分配信息未能读取，不能修改！重新定位到该卡片即可再次读取。"_s});
        QCOMPARE(card.messages.messages().first().title, u"岚岫提示"_s);
    } else {
        QCOMPARE(card.messages.texts(), QStringList{});
    }
    QCOMPARE(stored, failingCard == 1 ? QStringList() : QStringList{u"1"_s});
    QCOMPARE(retried.size(), 1);
}

void tst_ExpenseCommands::singleUnreadCardCanBeReadAgain_data()
{
    QTest::addColumn<bool>("yes");
    QTest::addColumn<int>("rowsShown");
    QTest::newRow("yes reads the card again") << true << 1;
    QTest::newRow("no leaves it") << false << 0;
}

// With a single card there is no other card to move to and back: the refusal itself offers it.
void tst_ExpenseCommands::singleUnreadCardCanBeReadAgain()
{
    QFETCH(bool, yes);
    QFETCH(int, rowsShown);
    OneCard card(1);
    const FakeErrorReporter errors;
    card.services.failing = QStringList{u"GetExpense"_s};
    card.messages.whenPresented = [&](const MessageRequest &) { card.services.failing.clear(); };
    card.messages.answerNext(yes ? MessageAnswer::Yes : MessageAnswer::No);
    bool editorOpened = false;
    QStringList shown;
    runWizard([&](frmUpdateData &wizard) {
        startAdjustment(wizard);
        editorOpened = withEditor([&] { click(&wizard, u"cmdAdd"_s); }, [](frmExpenseEdit &) {});
        shown = shownRows(&wizard);
    });
    QVERIFY(!editorOpened);
    QCOMPARE(card.messages.texts(),
             QStringList{u"当前卡片的折旧费用分配信息未能读取，不能修改！是否重新读取该卡片？"_s});
    QCOMPARE(card.messages.messages().first().buttons, MessageButtons::YesNo);
    QCOMPARE(shown.size(), rowsShown);
}

QTEST_MAIN(tst_ExpenseCommands)
#include "tst_expensecommands.moc"
