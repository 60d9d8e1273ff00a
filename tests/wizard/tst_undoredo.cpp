#include "editors/frmExpenseEdit.h"
#include "entry/ComponentUnload.h"
#include "records/FieldRecord.h"
#include "records/RecordFields.h"
#include "support/AllocationRecords.h"
#include "support/FakeAccountLookups.h"
#include "support/FakeCardServices.h"
#include "support/FakeDesktop.h"
#include "support/FakeItemService.h"
#include "support/MessageRecorder.h"
#include "support/ModalDriver.h"
#include "support/WizardDriver.h"
#include "widgets/ReportList.h"
#include "wizard/frmUpdateData.h"

#include <QLabel>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include <bit>

using namespace Qt::StringLiterals;
using namespace AllocFix;
using namespace AllocFix::Testing;

namespace {

// Rates whose last bits a round trip through a percentage or a text would lose.
const double OddRate = 0.1 + 0.2;
const double ThirdRate = 1.0 / 3;

// Cards 101.. all used by department 1 alone, so that each is allocated like the others; each
// has two rows.
struct Cards {
    FakeDesktop desktop;
    FakeCardServices services;
    FakeItemService itemService;
    FakeAccountLookups lookups;
    MessageRecorder messages;

    explicit Cards(int count)
    {
        itemService.addDepartment(1, u"管理部"_s);
        lookups.addAccount({11, u"6602.11"_s, u"费用11"_s, true, {}});
        for (qint32 id = 101; id < 101 + count; ++id) {
            FakeCardServices::Card &card = services.addCard(id);
            card.departments = recordList({departmentRecord(1, u"管理部"_s, 1)});
            card.expenses =
                recordList({expenseRow(1, 10, OddRate, {itemRecord(u"项目"_s, u"A"_s, 5)}),
                            expenseRow(1, 11, ThirdRate)});
            services.manualCards.append(id);
        }
    }
};

QString exactText(const FieldValue &value);

QString exactText(const FieldRecord &record)
{
    QStringList fields;
    for (const QString &name : record.names())
        fields.append(name + u'=' + exactText(record.value(name)));
    return u'{' + fields.join(u',') + u'}';
}

// A value as it is, type and all: a double by its bits.
QString exactText(const FieldValue &value)
{
    if (value.isDouble())
        return u"d"_s + QString::number(std::bit_cast<quint64>(value.toDouble()), 16);
    if (value.isInteger())
        return u"i"_s + value.toText();
    if (value.isList()) {
        const RecordList list = value.toList();
        QStringList records;
        for (qsizetype position = 1; position <= list.count(); ++position)
            records.append(exactText(list.at(position)));
        return u'[' + records.join(u',') + u']';
    }
    return value.isEmpty() ? u"-"_s : u"t"_s + value.toText();
}

// The whole step as the finish check and the save read it: per card, its mark and its rows.
QStringList exactStep(const frmUpdateData &wizard)
{
    QStringList cards;
    const FieldRecord rows = wizard.AllDict();
    const FieldRecord marks = wizard.dirtVect();
    for (qsizetype position = 1; position <= wizard.vecFalterID().count(); ++position) {
        const QString key = QString::number(position);
        cards.append(key + u' ' + marks.value(key).toText() + u' ' +
                     (rows.contains(key) ? exactText(rows.value(key)) : u"absent"_s));
    }
    return cards;
}

QTreeWidget *expenseList(QWidget *wizard)
{
    return wizard->findChild<QTreeWidget *>(u"lvExpense"_s);
}

// The card shown, then each row of lvExpense as "account rate #tag", the selected one marked "*".
QStringList shownCard(QWidget *wizard)
{
    QStringList shown{wizard->findChild<QLabel *>(u"lblCurrent"_s)->text()};
    QTreeWidget *list = expenseList(wizard);
    for (int index = 0; index < list->topLevelItemCount(); ++index) {
        QTreeWidgetItem *row = list->topLevelItem(index);
        shown.append((row->isSelected() ? u"*"_s : QString()) + row->text(1) + u' ' + row->text(3) +
                     u" #"_s + rowTag(row));
    }
    return shown;
}

QStringList unselected(QStringList shown)
{
    shown.replaceInStrings(u"*"_s, QString());
    return shown;
}

void selectRow(QWidget *wizard, int index)
{
    expenseList(wizard)->setCurrentItem(expenseList(wizard)->topLevelItem(index));
}

// Opens the expense editor with the button and saves row through the event the editor raises
// for its mode; the editor is then closed without asking.
void saveThroughEditor(frmUpdateData &wizard, const QString &button, const FieldRecord &row)
{
    QTimer::singleShot(20, [row] {
        auto *editor = qobject_cast<frmExpenseEdit *>(QApplication::activeModalWidget());
        if (!editor)
            return;
        if (editor->EditMode() == frmExpenseEdit::ModeAdd)
            Q_EMIT editor->DataAdded(row);
        else
            Q_EMIT editor->DataModified(row);
        editor->setEditMode(frmExpenseEdit::ModeView);
        editor->close();
    });
    click(&wizard, button);
    QTest::qWait(40);
}

void copyToAlike(frmUpdateData &wizard)
{
    whenNextModalShown([](QWidget *dialog) { click(dialog, u"cmdOK"_s); });
    click(&wizard, u"cmdCopy"_s);
}

// The keys reach the wizard once it is active again after the dialog the command showed, as
// the window system makes it.
void activate(frmUpdateData &wizard)
{
    wizard.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&wizard));
}

void undo(frmUpdateData &wizard)
{
    activate(wizard);
    QTest::keyClick(&wizard, Qt::Key_Z, Qt::ControlModifier);
}

void redo(frmUpdateData &wizard, bool shiftZ = false)
{
    activate(wizard);
    if (shiftZ)
        QTest::keyClick(&wizard, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    else
        QTest::keyClick(&wizard, Qt::Key_Y, Qt::ControlModifier);
}

// Runs one command on the first card of three. Before the copy, card 1's allocation is changed,
// so that the copy changes what the others hold; that change is a step of its own.
void runCommand(frmUpdateData &wizard, const QString &command)
{
    if (command == u"add") {
        saveThroughEditor(wizard, u"cmdAdd"_s, expenseRow(1, 30, ThirdRate * 0.1));
    } else if (command == u"edit") {
        selectRow(&wizard, 1);
        FieldRecord changed = expenseRow(1, 31, OddRate * 2);
        changed.setValue(Fields::FAlterID, 101);
        saveThroughEditor(wizard, u"cmdEdit"_s, changed);
    } else if (command == u"delete") {
        selectRow(&wizard, 0);
        click(&wizard, u"cmdDelete"_s);
    } else {
        copyToAlike(wizard);
    }
}

} // namespace

class tst_UndoRedo : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup();

    void eachCommandUndoneAndRedone_data();
    void eachCommandUndoneAndRedone();
    void aChangeIsShownOnItsCard_data();
    void aChangeIsShownOnItsCard();
    void copyToFortyCardsIsOneStep();
    void nothingToTakeBackAfterCancel();
};

void tst_UndoRedo::cleanup()
{
    unloadComponent();
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
}

void tst_UndoRedo::eachCommandUndoneAndRedone_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("shiftZ");
    for (const QString &command : {u"add"_s, u"edit"_s, u"delete"_s, u"copy"_s}) {
        QTest::addRow("%s, redo by Ctrl+Y", qPrintable(command)) << command << false;
        QTest::addRow("%s, redo by Ctrl+Shift+Z", qPrintable(command)) << command << true;
    }
}

void tst_UndoRedo::eachCommandUndoneAndRedone()
{
    QFETCH(QString, command);
    QFETCH(bool, shiftZ);
    Cards cards(3);
    QStringList before, after, undone, redone, undoneAgain;
    QStringList shownBefore, shownAfter, shownUndone, shownRedone;
    runWizard([&](frmUpdateData &wizard) {
        startAdjustment(wizard);
        if (command == u"copy")
            runCommand(wizard, u"delete"_s);
        before = exactStep(wizard);
        shownBefore = shownCard(&wizard);
        runCommand(wizard, command);
        after = exactStep(wizard);
        shownAfter = shownCard(&wizard);
        undo(wizard);
        undone = exactStep(wizard);
        shownUndone = shownCard(&wizard);
        redo(wizard, shiftZ);
        redone = exactStep(wizard);
        shownRedone = shownCard(&wizard);
        undo(wizard);
        undoneAgain = exactStep(wizard);
    });
    QVERIFY(after != before);
    QCOMPARE(undone, before);
    QCOMPARE(redone, after);
    QCOMPARE(undoneAgain, before);
    // The list shows the rows as they are: the same rows and texts as before and after.
    QCOMPARE(unselected(shownUndone), unselected(shownBefore));
    QCOMPARE(unselected(shownRedone), unselected(shownAfter));
    QVERIFY2(cards.messages.texts().isEmpty(), qPrintable(cards.messages.texts().join(u"; "_s)));
}

void tst_UndoRedo::aChangeIsShownOnItsCard_data()
{
    QTest::addColumn<bool>("redoing");
    QTest::newRow("undo") << false;
    QTest::newRow("redo") << true;
}

// The user sees what is taken back or made again, on its own card, with its row selected.
void tst_UndoRedo::aChangeIsShownOnItsCard()
{
    QFETCH(bool, redoing);
    Cards cards(3);
    QStringList expected;
    QStringList shown;
    QStringList step;
    QStringList expectedStep;
    runWizard([&](frmUpdateData &wizard) {
        startAdjustment(wizard);
        if (!redoing) {
            selectRow(&wizard, 0);
            expected = shownCard(&wizard);
            expectedStep = exactStep(wizard);
        }
        selectRow(&wizard, 1);
        saveThroughEditor(wizard, u"cmdEdit"_s, expenseRow(1, 40, 0.5));
        if (redoing) {
            expected = shownCard(&wizard);
            expectedStep = exactStep(wizard);
            undo(wizard);
        }
        click(&wizard, u"cmdLast"_s);
        if (redoing)
            redo(wizard);
        else
            undo(wizard);
        shown = shownCard(&wizard);
        step = exactStep(wizard);
    });
    // Card 3 was visited meanwhile: the step holds its rows now, and nothing else differs.
    QCOMPARE(step.mid(0, 2), expectedStep.mid(0, 2));
    QCOMPARE(shown.first(), u"当前第 1 张"_s);
    if (!redoing) {
        // The edited row is selected again.
        expected[1].remove(0, 1);
        expected[2].prepend(u'*');
    }
    QCOMPARE(shown, expected);
}

void tst_UndoRedo::copyToFortyCardsIsOneStep()
{
    Cards cards(41);
    QStringList beforeCopy;
    QStringList afterCopy;
    QStringList undone;
    QStringList redone;
    runWizard([&](frmUpdateData &wizard) {
        startAdjustment(wizard);
        // A card visited and changed before the copy keeps that change when the copy is undone.
        click(&wizard, u"cmdNext"_s);
        selectRow(&wizard, 0);
        click(&wizard, u"cmdDelete"_s);
        click(&wizard, u"cmdFirst"_s);
        selectRow(&wizard, 1);
        click(&wizard, u"cmdDelete"_s);
        beforeCopy = exactStep(wizard);
        copyToAlike(wizard);
        afterCopy = exactStep(wizard);
        click(&wizard, u"cmdLast"_s);
        undo(wizard);
        undone = exactStep(wizard);
        redo(wizard);
        redone = exactStep(wizard);
    });
    // The copy changed all 40 others; the visit to the last card loaded nothing new.
    for (int position = 2; position <= 41; ++position)
        QVERIFY2(afterCopy[position - 1] != beforeCopy[position - 1],
                 qPrintable(afterCopy[position - 1]));
    QCOMPARE(undone, beforeCopy);
    QVERIFY(undone[40].startsWith(u"41 0 absent"_s));
    QCOMPARE(redone, afterCopy);
}

// A wizard shown again after a cancel begins a new step: the changes of the one before cannot
// reach it.
void tst_UndoRedo::nothingToTakeBackAfterCancel()
{
    Cards cards(2);
    QStringList fresh;
    QStringList afterUndo;
    runWizard([&](frmUpdateData &wizard) {
        startAdjustment(wizard);
        selectRow(&wizard, 0);
        click(&wizard, u"cmdDelete"_s);
        click(&wizard, u"cmdCancel"_s);
    });
    cards.services.cards[101].expenses = recordList({expenseRow(1, 50, 1)});
    runWizard([&](frmUpdateData &wizard) {
        startAdjustment(wizard);
        fresh = exactStep(wizard);
        undo(wizard);
        afterUndo = exactStep(wizard);
    });
    QCOMPARE(afterUndo, fresh);
}

QTEST_MAIN(tst_UndoRedo)
#include "tst_undoredo.moc"
