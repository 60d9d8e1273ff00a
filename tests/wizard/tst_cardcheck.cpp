#include "entry/ComponentUnload.h"
#include "entry/ResultFlag.h"
#include "entry/ShowUpdate.h"
#include "entry/UpdatePublic.h"
#include "support/FakeCardServices.h"
#include "support/FakeDesktop.h"
#include "support/FakeErrorReporter.h"
#include "support/FakeItemService.h"
#include "support/MessageRecorder.h"
#include "support/WizardDriver.h"
#include "wizard/frmUpdateData.h"

#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace AllocFix;
using namespace AllocFix::Testing;

namespace {

const QString CheckingText = u"正在进行卡片数据检查，请稍候..."_s;
const QString AdjustingText = u"正在进行卡片数据调整，请稍候..."_s;

QString text(QWidget *wizard, const QString &name)
{
    if (auto *box = wizard->findChild<QPlainTextEdit *>(name))
        return box->toPlainText();
    return wizard->findChild<QLabel *>(name)->text();
}

// The enabled buttons among those a check or adjustment disables.
QStringList enabledButtons(QWidget *wizard)
{
    QStringList enabled;
    for (const QString &name : {u"btCheckCard"_s, u"btUpdate"_s, u"btPrev"_s, u"btNext"_s}) {
        if (wizard->findChild<QPushButton *>(name)->isEnabled())
            enabled.append(name);
    }
    return enabled;
}

// What the page showed when the card service was asked: the progress text, and whether events
// queued before the command had been processed, so that the text could be painted.
struct AtRequest {
    QString progress;
    QString report;
    bool eventsProcessed = false;
};

// Records the page at every request; queue() marks the start of a command.
class RequestWatch {
public:
    RequestWatch(FakeCardServices &services, frmUpdateData &wizard)
    {
        services.beforeCall = [this, &wizard](const QString &member) {
            seen[member] = {text(&wizard, u"lblProgress"_s), text(&wizard, u"CheckInfo"_s),
                            m_processed};
        };
    }
    void queue()
    {
        m_processed = false;
        QTimer::singleShot(0, [this] { m_processed = true; });
    }
    QMap<QString, AtRequest> seen;

private:
    bool m_processed = false;
};

} // namespace

class tst_CardCheck : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup();

    void checkShowsTheReport_data();
    void checkShowsTheReport();
    void adjustWithNoManualCardCloses_data();
    void adjustWithNoManualCardCloses();
    void adjustWithThreeCardsShowsTheFirst();
    void failuresLeaveThePageBusy_data();
    void failuresLeaveThePageBusy();
    void newManualStepForgetsEarlierRows();
};

void tst_CardCheck::cleanup()
{
    unloadComponent();
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
}

void tst_CardCheck::checkShowsTheReport_data()
{
    QTest::addColumn<int>("total");
    QTest::addColumn<int>("manual");
    QTest::addColumn<QString>("report");
    QTest::newRow("10, 3 by hand") << 10 << 3
                                   << u"卡片检查结果：\n\n要进行数据调整的卡片总数是： 10\n\n"
                                      "其中可以自动进行数据调整的卡片数量是： 7\n\n"
                                      "其中要手动进行数据调整的卡片数量是： 3\n"_s;
    QTest::newRow("5, none by hand") << 5 << 0
                                     << u"卡片检查结果：\n\n要进行数据调整的卡片总数是： 5\n\n"
                                        "其中可以自动进行数据调整的卡片数量是： 5\n\n"
                                        "其中要手动进行数据调整的卡片数量是： 0\n"_s;
}

void tst_CardCheck::checkShowsTheReport()
{
    QFETCH(int, total);
    QFETCH(int, manual);
    QFETCH(QString, report);
    FakeDesktop desktop;
    desktop.propsString = u"Language=CHS;Acct=7;"_s;
    FakeCardServices services;
    services.total = total;
    services.manual = manual;
    QString shown;
    QStringList enabled;
    QString progress;
    AtRequest atCheck;

    runWizard([&](frmUpdateData &wizard) {
        RequestWatch watch(services, wizard);
        click(&wizard, u"btNext"_s);
        watch.queue();
        click(&wizard, u"btCheckCard"_s);
        atCheck = watch.seen.value(u"CheckDataForUpDate"_s);
        shown = text(&wizard, u"CheckInfo"_s);
        enabled = enabledButtons(&wizard);
        progress = text(&wizard, u"lblProgress"_s);
    });
    // The text box shows each CR LF of the report as one line break.
    QCOMPARE(shown, report);
    QCOMPARE(enabled, (QStringList{u"btCheckCard"_s, u"btUpdate"_s, u"btPrev"_s}));
    QCOMPARE(progress, QString());
    QCOMPARE(atCheck.progress, CheckingText);
    QVERIFY(atCheck.eventsProcessed);
    QCOMPARE(services.props, QStringList{u"Language=CHS;Acct=7;"_s});
}

void tst_CardCheck::adjustWithNoManualCardCloses_data()
{
    QTest::addColumn<bool>("checkFirst");
    QTest::newRow("after a check") << true;
    QTest::newRow("without a check") << false;
}

void tst_CardCheck::adjustWithNoManualCardCloses()
{
    QFETCH(bool, checkFirst);
    FakeDesktop desktop;
    FakeCardServices services;
    services.total = 5;
    MessageRecorder messages;
    bool closed = false;
    AtRequest atAdjust;

    runWizard([&](frmUpdateData &wizard) {
        RequestWatch watch(services, wizard);
        click(&wizard, u"btNext"_s);
        if (checkFirst)
            click(&wizard, u"btCheckCard"_s);
        watch.queue();
        click(&wizard, u"btUpdate"_s);
        atAdjust = watch.seen.value(u"ReturnExpensInf"_s);
        closed = !wizard.isVisible();
    });
    QVERIFY(closed);
    QCOMPARE(ShowUpdate().UpdateResult(), -1);
    QCOMPARE(services.calls,
             (QStringList{u"CheckDataForUpDate"_s, u"ReturnExpensInf"_s, u"AllocFixDate"_s}));
    QVERIFY(messages.messages().isEmpty());
    QCOMPARE(atAdjust.progress, AdjustingText);
    QVERIFY(atAdjust.eventsProcessed);
    // Without an earlier check the report is shown before the adjustment starts.
    QVERIFY(atAdjust.report.contains(u"要进行数据调整的卡片总数是： 5"_s));
}

void tst_CardCheck::adjustWithThreeCardsShowsTheFirst()
{
    FakeDesktop desktop;
    FakeCardServices services;
    FakeItemService itemService;
    for (qint32 id : {101, 102, 103})
        services.addCard(id);
    services.manualCards = {101, 102, 103};
    QStringList marksBeforeLoad;
    QStringList marksAfterLoad;
    QStringList enabled;
    QString total;
    QString current;
    bool manualPageShown = false;
    bool otherPagesHidden = false;
    qint16 step = -1;
    bool sharedByName = false;

    runWizard([&](frmUpdateData &wizard) {
        services.beforeCall = [&](const QString &member) {
            if (member == u"GetDept" && marksBeforeLoad.isEmpty()) {
                for (const QString &key : wizard.dirtVect().names())
                    marksBeforeLoad.append(key + u'=' + wizard.dirtVect().value(key).toText());
            }
        };
        startAdjustment(wizard);
        for (const QString &key : wizard.dirtVect().names())
            marksAfterLoad.append(key + u'=' + wizard.dirtVect().value(key).toText());
        enabled = enabledButtons(&wizard);
        total = text(&wizard, u"lblTotal"_s);
        current = text(&wizard, u"lblCurrent"_s);
        auto *page = wizard.findChild<QFrame *>(u"fraStep_2"_s);
        manualPageShown = page->isVisible() && page->isEnabled() && page->x() == 0;
        otherPagesHidden = !wizard.findChild<QFrame *>(u"fraStep_0"_s)->isVisible() &&
                           !wizard.findChild<QFrame *>(u"fraStep_1"_s)->isVisible();
        step = wizard.CurrentStep();
        // By name, the collections are the wizard's own objects, not copies.
        sharedByName =
            wizard.property("vecFalterID").value<RecordList>().isSameObject(wizard.vecFalterID()) &&
            wizard.property("dirtVect").value<FieldRecord>().isSameObject(wizard.dirtVect()) &&
            wizard.property("AllDict").value<FieldRecord>().isSameObject(wizard.AllDict());
    });
    QCOMPARE(marksBeforeLoad, (QStringList{u"1=0"_s, u"2=0"_s, u"3=0"_s}));
    QCOMPARE(marksAfterLoad, (QStringList{u"1=1"_s, u"2=0"_s, u"3=0"_s}));
    QCOMPARE(services.calls,
             (QStringList{u"CheckDataForUpDate"_s, u"ReturnExpensInf"_s, u"GetDept 101"_s,
                          u"GetExpense 101"_s, u"GetCardInf 101"_s}));
    QCOMPARE(total, u"共 3 张"_s);
    QCOMPARE(current, u"当前第 1 张"_s);
    QVERIFY(enabled.isEmpty());
    QVERIFY(manualPageShown);
    QVERIFY(otherPagesHidden);
    QCOMPARE(step, qint16(1));
    QVERIFY(sharedByName);
    QCOMPARE(ShowUpdate().UpdateResult(), 0);
}

void tst_CardCheck::failuresLeaveThePageBusy_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("failing");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("reports");
    QTest::addColumn<QString>("progress");
    QTest::addColumn<int>("result");

    QTest::newRow("check button, check fails")
        << u"btCheckCard"_s << u"CheckDataForUpDate"_s << u"错误原因:CheckDataForUpDate failed"_s
        << 0 << CheckingText << -1;
    QTest::newRow("adjust button, check fails")
        << u"btUpdate"_s << u"CheckDataForUpDate"_s << u"错误原因:CheckDataForUpDate failed"_s << 0
        << CheckingText << -1;
    QTest::newRow("adjustment fails")
        << u"btUpdate"_s << u"ReturnExpensInf"_s << QString() << 1 << AdjustingText << 0;
    QTest::newRow("date update fails")
        << u"btUpdate"_s << u"AllocFixDate"_s << QString() << 1 << AdjustingText << 0;
}

void tst_CardCheck::failuresLeaveThePageBusy()
{
    QFETCH(QString, button);
    QFETCH(QString, failing);
    QFETCH(QString, message);
    QFETCH(int, reports);
    QFETCH(QString, progress);
    QFETCH(int, result);
    FakeDesktop desktop;
    FakeCardServices services;
    services.failing = QStringList{failing};
    FakeErrorReporter reporter;
    MessageRecorder messages;
    // An earlier run's result: only a failed adjustment takes it back.
    UpdateResultFlag = true;
    QStringList enabled;
    QString progressShown;
    bool closedByCancel = false;

    runWizard([&](frmUpdateData &wizard) {
        click(&wizard, u"btNext"_s);
        click(&wizard, button);
        enabled = enabledButtons(&wizard);
        progressShown = text(&wizard, u"lblProgress"_s);
        click(&wizard, u"cmdCancel"_s);
        closedByCancel = !wizard.isVisible();
    });
    QVERIFY(enabled.isEmpty());
    QCOMPARE(progressShown, progress);
    QVERIFY(closedByCancel);
    QCOMPARE(ShowUpdate().UpdateResult(), result);
    QCOMPARE(messages.texts(), message.isEmpty() ? QStringList() : QStringList{message});
    for (const MessageRequest &box : messages.messages()) {
        QCOMPARE(box.buttons, MessageButtons::Ok);
        QCOMPARE(box.icon, MessageIcon::None);
        QCOMPARE(box.title, QString());
    }
    QCOMPARE(reporter.reports.size(), reports);
    if (reports > 0) {
        QCOMPARE(reporter.reports.first().description, failing + u" failed"_s);
        QVERIFY(reporter.extrasEmpty);
    }
    // A failed check ends the command before the adjustment.
    QCOMPARE(services.calls.contains(u"ReturnExpensInf"_s),
             button == u"btUpdate" && failing != u"CheckDataForUpDate");
}

void tst_CardCheck::newManualStepForgetsEarlierRows()
{
    FakeDesktop desktop;
    FakeCardServices services;
    FakeItemService itemService;
    for (qint32 id : {101, 102, 201})
        services.addCard(id);
    services.manualCards = {101, 102};
    runWizard([&](frmUpdateData &wizard) {
        startAdjustment(wizard);
        click(&wizard, u"cmdNext"_s);
    });
    QCOMPARE(UpdatePublic::wizardForm().AllDict().count(), 2);

    services.manualCards = {201};
    QStringList keys;
    runWizard([&](frmUpdateData &wizard) {
        startAdjustment(wizard);
        keys = wizard.AllDict().names();
    });
    QCOMPARE(keys, QStringList{u"1"_s});
    QCOMPARE(UpdatePublic::wizardForm().vecFalterID().count(), 1);
}

QTEST_MAIN(tst_CardCheck)
#include "tst_cardcheck.moc"
