#include "entry/ComponentUnload.h"
#include "entry/ResultFlag.h"
#include "entry/ShowUpdate.h"
#include "forms/Twips.h"
#include "support/AccessibleNames.h"
#include "support/AllocationRecords.h"
#include "support/FakeCardServices.h"
#include "support/FakeDesktop.h"
#include "support/FakeItemService.h"
#include "support/MessageRecorder.h"
#include "support/WizardDriver.h"
#include "wizard/frmShowInf.h"
#include "wizard/frmUpdateData.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTextBlock>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace AllocFix;
using namespace AllocFix::Testing;

namespace {

const QPoint Offset(twips(398), twips(1000));

// The dialog as the user sees it at one moment. Its place is its client area's: the window
// system adds and removes the frame in its own time.
struct DialogState {
    QPoint pos;
    QSize size;
    bool frameless = false;
    QString progress;
    QStringList visible;
};

DialogState stateOf(QWidget *dialog)
{
    DialogState state{dialog->geometry().topLeft(),
                      dialog->size(),
                      dialog->windowFlags().testFlag(Qt::FramelessWindowHint),
                      dialog->findChild<QLabel *>(u"labInf"_s)->text(),
                      {}};
    for (const QString &name : {u"labInf"_s, u"Label1"_s, u"expInfo"_s, u"cmdSure"_s}) {
        if (dialog->findChild<QWidget *>(name)->isVisible())
            state.visible.append(name);
    }
    return state;
}

// Where the dialog was when it was shown and became active, before its work moved it.
class ShownAt : public QObject {
public:
    ShownAt() { checkAndSaveForm().installEventFilter(this); }
    QPoint pos;
    bool seen = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::WindowActivate && !seen) {
            seen = true;
            pos = static_cast<QWidget *>(watched)->geometry().topLeft();
        }
        return false;
    }
};

// Two cards with one department each; card 1's rows fall short of 100 % unless rate1 is 1.
void addCards(FakeCardServices &services, double rate1)
{
    for (qint32 id : {101, 102}) {
        FakeCardServices::Card &card = services.addCard(id);
        card.departments = recordList({departmentRecord(1, u"管理部"_s, 1)});
        card.expenses = recordList({expenseRow(1, 10, id == 101 ? rate1 : 1)});
    }
    services.manualCards = {101, 102};
}

} // namespace

class tst_CheckAndSave : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup();

    void faultsAreListedAndTheWizardKeepsItsData();
    void validAllocationsAreSavedAndBothClose();
    void failedSaveReturnsToTheWizard();
    void failingServiceIsExplainedAndNothingSaved_data();
    void failingServiceIsExplainedAndNothingSaved();
    void forgottenOldRowIsNamedBeforeTheSave();
    void helpAndReactivation();
    void doubleClickOnAFaultShowsItsCard_data();
    void doubleClickOnAFaultShowsItsCard();
    void theCheckShowsHowFarItHasGot_data();
    void theCheckShowsHowFarItHasGot();
};

void tst_CheckAndSave::cleanup()
{
    unloadComponent();
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
}

void tst_CheckAndSave::faultsAreListedAndTheWizardKeepsItsData()
{
    FakeDesktop desktop;
    FakeCardServices services;
    FakeItemService itemService;
    itemService.addDepartment(1, u"行政管理部"_s);
    addCards(services, 0.5);
    ShownAt shown;
    DialogState checking;
    DialogState result;
    QString faults;
    QString title;
    QStringList nameless;
    bool wizardOpen = false;
    QString current;
    int rowsOfCard1 = 0;

    runWizard([&](frmUpdateData &wizard) {
        startAdjustment(wizard);
        services.beforeCall = [&](const QString &member) {
            if (member == u"GetDept" && checking.progress.isEmpty()) {
                checking = stateOf(&checkAndSaveForm());
                // The dialog has no cancel button: Esc must not end it while it checks.
                QTest::keyClick(&checkAndSaveForm(), Qt::Key_Escape);
            }
        };
        whenCheckResultShown([&](QWidget *dialog) {
            result = stateOf(dialog);
            faults = dialog->findChild<QPlainTextEdit *>(u"expInfo"_s)->toPlainText();
            title = dialog->windowTitle();
            nameless = namelessControls(dialog);
            click(dialog, u"cmdSure"_s);
        });
        click(&wizard, u"cmdFinish"_s);
        services.beforeCall = nullptr;
        wizardOpen = wizard.isVisible();
        current = wizard.findChild<QLabel *>(u"lblCurrent"_s)->text();
        rowsOfCard1 = static_cast<int>(wizard.AllDict().value(u"1"_s).toList().count());
    });

    QCOMPARE(checking.progress, u"正在检查数据,请稍侯..."_s);
    QCOMPARE(checking.pos, shown.pos + Offset);
    QCOMPARE(checking.size, QSize(twips(4680), twips(900)));
    QVERIFY(checking.frameless);
    QCOMPARE(checking.visible, QStringList{u"labInf"_s});

    QCOMPARE(title, u"数据检查"_s);
    QCOMPARE(nameless.join(u", "_s), QString());
    QCOMPARE(faults, u"第 2 张卡片还没有重新进行折旧费用分配!\n"
                     "第 1 张卡片在部门 '行政管理部' 下折旧费用分配比例之和必须为100%！\n"_s);
    QCOMPARE(result.pos, shown.pos);
    QCOMPARE(result.size, QSize(twips(5355), twips(2955)));
    QVERIFY(!result.frameless);
    QCOMPARE(result.visible, (QStringList{u"Label1"_s, u"expInfo"_s, u"cmdSure"_s}));

    QVERIFY(wizardOpen);
    QCOMPARE(current, u"当前第 1 张"_s);
    QCOMPARE(rowsOfCard1, 1);
    QCOMPARE(services.callsOf(u"SaveDoubleExpense"_s), 0);
    QCOMPARE(ShowUpdate().UpdateResult(), 0);
}

void tst_CheckAndSave::validAllocationsAreSavedAndBothClose()
{
    FakeDesktop desktop;
    FakeCardServices services;
    FakeItemService itemService;
    addCards(services, 1);
    ShownAt shown;
    DialogState saving;
    FieldRecord allocations;
    bool wizardClosed = false;
    bool dialogClosed = false;

    runWizard([&](frmUpdateData &wizard) {
        startAdjustment(wizard);
        click(&wizard, u"cmdNext"_s);
        allocations = wizard.AllDict();
        services.beforeCall = [&](const QString &member) {
            if (member == u"SaveDoubleExpense")
                saving = stateOf(&checkAndSaveForm());
        };
        click(&wizard, u"cmdFinish"_s);
        wizardClosed = !wizard.isVisible();
        dialogClosed = !checkAndSaveForm().isVisible();
    });

    QCOMPARE(saving.progress, u"正在保存折旧费用分配信息，请稍候..."_s);
    QCOMPARE(saving.pos, shown.pos + 2 * Offset);
    QVERIFY(saving.frameless);
    QVERIFY(wizardClosed);
    QVERIFY(dialogClosed);
    QCOMPARE(services.callsOf(u"SaveDoubleExpense"_s), 1);
    // AllDict itself, whole: every card under its position.
    QVERIFY(services.savedAllocations.isSameObject(allocations));
    QCOMPARE(services.savedAllocations.names(), (QStringList{u"1"_s, u"2"_s}));
    QCOMPARE(ShowUpdate().UpdateResult(), -1);
}

void tst_CheckAndSave::failedSaveReturnsToTheWizard()
{
    FakeDesktop desktop;
    FakeCardServices services;
    FakeItemService itemService;
    addCards(services, 1);
    services.failing = QStringList{u"SaveDoubleExpense"_s};
    MessageRecorder messages;
    bool wizardOpen = false;
    bool dialogClosed = false;
    QString current;
    bool sameRows = false;
    bool savedOnRetry = false;

    runWizard([&](frmUpdateData &wizard) {
        startAdjustment(wizard);
        click(&wizard, u"cmdNext"_s);
        const RecordList rows = wizard.AllDict().value(u"2"_s).toList();
        click(&wizard, u"cmdFinish"_s);
        wizardOpen = wizard.isVisible();
        dialogClosed = !checkAndSaveForm().isVisible();
        current = wizard.findChild<QLabel *>(u"lblCurrent"_s)->text();
        sameRows = wizard.AllDict().value(u"2"_s).toList().isSameObject(rows);

        services.failing.clear();
        click(&wizard, u"cmdFinish"_s);
        savedOnRetry = !wizard.isVisible();
    });

    QVERIFY(wizardOpen);
    QVERIFY(dialogClosed);
    QCOMPARE(current, u"当前第 2 张"_s);
    QVERIFY(sameRows);
    QCOMPARE(messages.texts(), QStringList{u"错误原因:SaveDoubleExpense failed"_s});
    QCOMPARE(messages.messages().first().icon, MessageIcon::None);
    QCOMPARE(messages.messages().first().title, QString());
    QVERIFY(savedOnRetry);
    QCOMPARE(services.callsOf(u"SaveDoubleExpense"_s), 2);
    QCOMPARE(ShowUpdate().UpdateResult(), -1);
}

void tst_CheckAndSave::failingServiceIsExplainedAndNothingSaved_data()
{
    QTest::addColumn<QStringList>("failing");
    QTest::addColumn<bool>("saveAnswer");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("saves");

    QTest::newRow("card service lost during the check")
        << QStringList{u"GetDept 102"_s} << true << u"错误原因:GetDept failed"_s << 0;
    QTest::newRow("the save answers that it did not save")
        << QStringList{} << false
        << u"错误原因:卡片服务没有保存折旧费用分配信息，什么也没有保存。"_s << 1;
}

void tst_CheckAndSave::failingServiceIsExplainedAndNothingSaved()
{
    QFETCH(QStringList, failing);
    QFETCH(bool, saveAnswer);
    QFETCH(QString, message);
    QFETCH(int, saves);
    FakeDesktop desktop;
    FakeCardServices services;
    FakeItemService itemService;
    addCards(services, 1);
    MessageRecorder messages;
    bool wizardOpen = false;
    runWizard([&](frmUpdateData &wizard) {
        startAdjustment(wizard);
        click(&wizard, u"cmdNext"_s);
        services.failing = failing;
        services.saveAnswer = saveAnswer;
        click(&wizard, u"cmdFinish"_s);
        wizardOpen = wizard.isVisible();
    });
    QCOMPARE(messages.texts(), QStringList{message});
    QVERIFY(wizardOpen);
    QCOMPARE(services.callsOf(u"SaveDoubleExpense"_s), saves);
    QCOMPARE(ShowUpdate().UpdateResult(), 0);
}

// Two rows given to the two departments and an old one forgotten: the page shows it, and the
// finish check names it instead of the save refusing it at the last step.
void tst_CheckAndSave::forgottenOldRowIsNamedBeforeTheSave()
{
    FakeDesktop desktop;
    FakeCardServices services;
    FakeItemService itemService;
    FakeCardServices::Card &card = services.addCard(101);
    card.departments =
        recordList({departmentRecord(1, u"管理部"_s, 0.5), departmentRecord(2, u"财务部"_s, 0.5)});
    card.expenses =
        recordList({expenseRow(1, 10, 1), expenseRow(2, 11, 1), expenseRow(0, 12, 0.2)});
    services.manualCards = {101};
    QString totals;
    QString faults;
    runWizard([&](frmUpdateData &wizard) {
        startAdjustment(wizard);
        totals = wizard.findChild<QLabel *>(u"lblRateTotals"_s)->text();
        whenCheckResultShown([&](QWidget *dialog) {
            faults = dialog->findChild<QPlainTextEdit *>(u"expInfo"_s)->toPlainText();
            click(dialog, u"cmdSure"_s);
        });
        click(&wizard, u"cmdFinish"_s);
    });
    QCOMPARE(totals, u"分配合计：管理部 100%；财务部 100%；"
                     "<span style=\"color:#b00000\">未指定部门 20%</span>"_s);
    QCOMPARE(faults, u"第 1 张卡片还有未指定部门的原折旧费用分配，请删除或修改！\n"_s);
    QCOMPARE(services.callsOf(u"SaveDoubleExpense"_s), 0);
    QCOMPARE(ShowUpdate().UpdateResult(), 0);
}

void tst_CheckAndSave::helpAndReactivation()
{
    FakeDesktop desktop;
    FakeCardServices services;
    FakeItemService itemService;
    addCards(services, 0.5);
    int checksBefore = 0;
    int checksAfter = 0;

    runWizard([&](frmUpdateData &wizard) {
        startAdjustment(wizard);
        whenCheckResultShown([&](QWidget *dialog) {
            auto *faults = dialog->findChild<QPlainTextEdit *>(u"expInfo"_s);
            QTest::keyClick(faults, Qt::Key_A);
            QTest::keyClick(faults, Qt::Key_F1);
            checksBefore = services.callsOf(u"GetDept 101"_s);
            // Coming back to the dialog from another window does not check again.
            QEvent activate(QEvent::WindowActivate);
            QApplication::sendEvent(dialog, &activate);
            checksAfter = services.callsOf(u"GetDept 101"_s);
            dialog->close();
        });
        click(&wizard, u"cmdFinish"_s);
    });
    QCOMPARE(desktop.helpCalls.size(), 1);
    const FakeDesktop::HelpCall &help = desktop.helpCalls.first();
    QCOMPARE(help.context, 90041);
    QCOMPARE(help.flags, qint16(0));
    QCOMPARE(help.text1, QString());
    QCOMPARE(help.number1, 0);
    QCOMPARE(checksBefore, checksAfter);
}

void tst_CheckAndSave::doubleClickOnAFaultShowsItsCard_data()
{
    QTest::addColumn<int>("line");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<QString>("shown");

    // The wizard shows card 2 when the user finishes; the one fault is card 1's, and the empty
    // line after it names no card.
    QTest::newRow("the fault") << 0 << true << u"当前第 1 张"_s;
    QTest::newRow("below the fault") << 1 << false << u"当前第 2 张"_s;
}

void tst_CheckAndSave::doubleClickOnAFaultShowsItsCard()
{
    QFETCH(int, line);
    QFETCH(bool, closes);
    QFETCH(QString, shown);
    FakeDesktop desktop;
    FakeCardServices services;
    FakeItemService itemService;
    addCards(services, 0.5);
    bool openAfterClick = false;
    QString current;
    QString loadedRow;

    runWizard([&](frmUpdateData &wizard) {
        startAdjustment(wizard);
        whenCheckResultShown([&](QWidget *dialog) {
            auto *faults = dialog->findChild<QPlainTextEdit *>(u"expInfo"_s);
            const QTextCursor cursor(faults->document()->findBlockByNumber(line));
            QTest::mouseDClick(faults->viewport(), Qt::LeftButton, {},
                               faults->cursorRect(cursor).center());
            openAfterClick = dialog->isVisible();
            if (openAfterClick)
                click(dialog, u"cmdSure"_s);
        });
        click(&wizard, u"cmdNext"_s);
        click(&wizard, u"cmdFinish"_s);
        current = wizard.findChild<QLabel *>(u"lblCurrent"_s)->text();
    });
    QCOMPARE(openAfterClick, !closes);
    QCOMPARE(current, shown);
}

void tst_CheckAndSave::theCheckShowsHowFarItHasGot_data()
{
    QTest::addColumn<int>("cards");
    QTest::addColumn<int>("steps"); // the bar's distinct values, the start and the end included
    QTest::newRow("every card of 3") << 3 << 4;
    QTest::newRow("every other card of 250") << 250 << 126;
}

// At 200,000 cards the check takes seconds: the bar must move while it runs, and be full when the
// save starts; painting at every card would cost more than the check.
void tst_CheckAndSave::theCheckShowsHowFarItHasGot()
{
    QFETCH(int, cards);
    QFETCH(int, steps);
    FakeDesktop desktop;
    FakeCardServices services;
    FakeItemService itemService;
    for (qint32 id = 101; id < 101 + cards; ++id) {
        FakeCardServices::Card &card = services.addCard(id);
        card.departments = recordList({departmentRecord(1, u"管理部"_s, 1)});
        card.expenses = recordList({expenseRow(1, 10, 1)});
        services.manualCards.append(id);
    }
    QList<int> values;
    int maximum = -1;
    QString accessibleName;
    bool inside = false;
    runWizard([&](frmUpdateData &wizard) {
        startAdjustment(wizard);
        for (int card = 1; card < cards; ++card)
            click(&wizard, u"cmdNext"_s);
        services.beforeCall = [&](const QString &member) {
            if (member != u"GetDept" && member != u"SaveDoubleExpense")
                return;
            const auto *bar = checkAndSaveForm().findChild<QProgressBar *>(u"pbCheck"_s);
            if (values.isEmpty() || values.last() != bar->value())
                values.append(bar->value());
            maximum = bar->maximum();
            accessibleName = bar->accessibleName();
            // Inside the window's painted border.
            const QWidget &form = checkAndSaveForm();
            inside = form.rect()
                         .adjusted(1, 1, -1, -1)
                         .contains(QRect(bar->mapTo(&form, QPoint()), bar->size()));
        };
        click(&wizard, u"cmdFinish"_s);
        services.beforeCall = nullptr;
    });

    QCOMPARE(services.callsOf(u"SaveDoubleExpense"_s), 1);
    QCOMPARE(maximum, cards);
    QCOMPARE(values.size(), steps);
    QCOMPARE(values.first(), 0);
    QCOMPARE(values.last(), cards);
    QVERIFY(std::is_sorted(values.cbegin(), values.cend()));
    QCOMPARE(accessibleName, u"数据检查进度"_s);
    QVERIFY(inside);
}

QTEST_MAIN(tst_CheckAndSave)
#include "tst_checkandsave.moc"
