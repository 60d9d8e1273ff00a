#include "entry/ComponentUnload.h"
#include "entry/ShowUpdate.h"
#include "entry/UpdatePublic.h"
#include "forms/Twips.h"
#include "host/ErrorRecord.h"
#include "host/ProgIds.h"
#include "support/FakeDesktop.h"
#include "support/ModalDriver.h"
#include "support/WizardDriver.h"
#include "wizard/frmUpdateData.h"

#include <QFrame>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

#include <functional>

using namespace Qt::StringLiterals;
using namespace AllocFix;
using AllocFix::Testing::FakeDesktop;
using AllocFix::Testing::runWizard;
using AllocFix::Testing::whenModalShown;

namespace {

// Where a page stands and whether it is enabled, as the page switching leaves it.
struct PageState {
    int left;
    bool enabled;
};

PageState pageState(QWidget *wizard, int index)
{
    auto *page = wizard->findChild<QFrame *>(u"fraStep_%1"_s.arg(index));
    return {page->x(), page->isEnabled()};
}

QPushButton *button(QWidget *wizard, const QString &name)
{
    return wizard->findChild<QPushButton *>(name);
}

// The wizard's state as the test sees it: shown page, Previous and Next enabled.
QString stateOf(QWidget *wizard)
{
    QString shown;
    for (int index = 0; index < frmUpdateData::PageCount; ++index) {
        const PageState state = pageState(wizard, index);
        if (state.left == 0 && state.enabled)
            shown += QString::number(index);
        else if (state.left != twips(-10000) || state.enabled)
            shown += u'?';
    }
    return shown + (button(wizard, u"btPrev"_s)->isEnabled() ? u" prev"_s : u" -"_s) +
           (button(wizard, u"btNext"_s)->isEnabled() ? u" next"_s : u" -"_s);
}

// Shows the wizard through the host's entry and runs the test's steps on it.
void showWizard(const std::function<void(QWidget *wizard)> &steps)
{
    runWizard([&steps](frmUpdateData &wizard) { steps(&wizard); });
}

} // namespace

class tst_WizardFrame : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup();

    void stepsFollowTheStateTable_data();
    void stepsFollowTheStateTable();
    void cancelClosesFromEveryPage_data();
    void cancelClosesFromEveryPage();
    void captionsAreSetInOrder();
    void secondShowingStartsAfresh();
    void controlsFollowTheirDesign();
    void failedLoadReachesTheHost();
};

void tst_WizardFrame::cleanup()
{
    unloadComponent();
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
}

void tst_WizardFrame::stepsFollowTheStateTable_data()
{
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QString>("expected");

    QTest::newRow("at load") << QStringList{} << u"0 - next"_s;
    QTest::newRow("previous at load does nothing") << QStringList{u"btPrev"_s} << u"0 - next"_s;
    QTest::newRow("next shows the check page") << QStringList{u"btNext"_s} << u"1 prev -"_s;
    QTest::newRow("next twice stays") << QStringList{u"btNext"_s, u"btNext"_s} << u"1 prev -"_s;
    QTest::newRow("and back") << QStringList{u"btNext"_s, u"btPrev"_s} << u"0 - next"_s;
    QTest::newRow("back and forth")
        << QStringList{u"btNext"_s, u"btPrev"_s, u"btNext"_s} << u"1 prev -"_s;
}

void tst_WizardFrame::stepsFollowTheStateTable()
{
    QFETCH(QStringList, clicks);
    QFETCH(QString, expected);
    FakeDesktop desktop;
    QString state;
    qint16 step = -1;

    showWizard([&](QWidget *wizard) {
        for (const QString &name : clicks)
            QTest::mouseClick(button(wizard, name), Qt::LeftButton);
        // Driven directly as well: a disabled button must not move the pages either.
        auto *form = static_cast<frmUpdateData *>(wizard);
        if (!button(wizard, u"btNext"_s)->isEnabled())
            form->GoNextStep();
        if (!button(wizard, u"btPrev"_s)->isEnabled())
            form->GoPrevStep();
        state = stateOf(wizard);
        step = form->CurrentStep();
    });
    QCOMPARE(state, expected);
    QCOMPARE(step, qint16(expected.startsWith(u'1') ? 1 : 0));
}

void tst_WizardFrame::cancelClosesFromEveryPage_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("how");
    for (int page : {0, 1}) {
        for (const QString &how : {u"Esc"_s, u"cmdCancel"_s, u"btCancel"_s, u"close box"_s})
            QTest::addRow("page %d, %s", page, qPrintable(how)) << page << how;
    }
}

void tst_WizardFrame::cancelClosesFromEveryPage()
{
    QFETCH(int, page);
    QFETCH(QString, how);
    FakeDesktop desktop;
    bool closedByAction = false;

    whenModalShown([&](QWidget *wizard) {
        if (page == 1)
            QTest::mouseClick(button(wizard, u"btNext"_s), Qt::LeftButton);
        if (how == u"Esc")
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : wizard,
                            Qt::Key_Escape);
        else if (how == u"close box")
            wizard->close();
        else
            button(wizard, how)->click();
        closedByAction = !wizard->isVisible();
    });
    ShowUpdate().ShowExportFrm();
    QVERIFY(closedByAction);
    QVERIFY(!UpdatePublic::wizardForm().isLoaded());
    QCOMPARE(ShowUpdate().UpdateResult(), 0);
}

void tst_WizardFrame::captionsAreSetInOrder()
{
    FakeDesktop desktop;
    desktop.propsString = u"Language=ENG;"_s;
    QString title;
    QStringList headers;

    showWizard([&](QWidget *wizard) {
        title = wizard->windowTitle();
        for (const QString &name : {u"lvExpense"_s, u"lvDept"_s}) {
            auto *list = wizard->findChild<QTreeWidget *>(name);
            for (int column = 0; column < list->columnCount(); ++column)
                headers.append(list->headerItem()->text(column));
        }
    });

    const QStringList expectedKeys{
        u"账套卡片数据调整"_s,
        u"取消"_s,
        u"帮助"_s,
        u"取消"_s,
        u"下一步(&N) >"_s,
        u"< 上一步(&B)"_s,
        u"step3"_s,
        u"开始调整"_s,
        u"检查卡片"_s,
        u"开始调整："_s,
        u"卡片数据调整所需的全部信息均已获知，选择“开始调整”以开始调整卡片。或者选择“检查卡片”以检查是否有可正确调整的卡片信息。"_s,
        u"Introduction"_s,
        u"进行数据调整前,请做账套备份!"_s,
        u"请选择“下一步”开始卡片调整的过程。"_s,
        u"欢迎！"_s,
        u"欢迎您使用Q/7系统的标准卡片数据调整功能!此功能主要针对多部门使用的卡片进调整"_s,
        u"step2"_s,
        u"查看卡片"_s,
        u"折旧费用删除(&D)"_s,
        u"折旧费用编辑(&E)"_s,
        u"折旧费用增加(&A)"_s,
        u"所有分配完成"_s,
        u"最后一条"_s,
        u"最前一条"_s,
        u"下一条"_s,
        u"上一条"_s,
        u"共"_s,
        u"卡片参考信息："_s,
        u"部门分配信息："_s,
        u"折旧费用分配信息："_s,
        u"你正在手工进行多折旧费用重新分配!"_s,
        u"当前第"_s,
        // After the captions: the check report's name for assistive technology, then the copy
        // command's caption and hint.
        u"卡片检查结果："_s,
        u"复制分配(&C)..."_s,
        u"把当前卡片的折旧费用分配复制到部门和原科目都与它相同的其他卡片"_s,
    };
    QCOMPARE(desktop.loadStringKeys, expectedKeys);
    QCOMPARE(desktop.loadString2Keys, (QStringList{u"部门"_s, u"科目"_s, u"核算项目"_s, u"比例 %"_s,
                                                   u"部门"_s, u"比例 %"_s}));
    QCOMPARE(title, u"<账套卡片数据调整>"_s);
    QCOMPARE(headers.first(), u"[部门]"_s);
    QCOMPARE(desktop.fontRequests.size(), 1);
    QCOMPARE(desktop.fontRequests.first().first, &UpdatePublic::wizardForm());
}

void tst_WizardFrame::secondShowingStartsAfresh()
{
    FakeDesktop desktop;
    desktop.propsString = u"Language=ENG;"_s;
    QString secondCaption;
    QString secondState;
    frmUpdateData *firstForm = nullptr;

    showWizard([&](QWidget *wizard) {
        firstForm = static_cast<frmUpdateData *>(wizard);
        QTest::mouseClick(button(wizard, u"btNext"_s), Qt::LeftButton);
    });
    showWizard([&](QWidget *wizard) {
        QCOMPARE(wizard, firstForm);
        secondCaption = button(wizard, u"cmdCancel"_s)->text();
        secondState = stateOf(wizard);
    });
    // Localised from the design caption again, not from the first showing's caption.
    QCOMPARE(secondCaption, u"<取消>"_s);
    QCOMPARE(secondState, u"0 - next"_s);
    QCOMPARE(desktop.loadStringKeys.count(u"取消"_s), 4);
}

void tst_WizardFrame::controlsFollowTheirDesign()
{
    FakeDesktop desktop;
    QSize client;
    QRect cancel;
    bool helpVisible = true;
    bool btCancelInside = true;
    QStringList missing;

    showWizard([&](QWidget *wizard) {
        client = wizard->size();
        cancel = button(wizard, u"cmdCancel"_s)->geometry();
        helpVisible = button(wizard, u"btHelp"_s)->isVisible();
        btCancelInside = wizard->rect().contains(button(wizard, u"btCancel"_s)->geometry());
        for (const QString &name :
             {u"lblInfo_1"_s, u"lblInfo_2"_s,  u"lblInfo_3"_s,   u"lblHelp_2"_s,   u"lblHelp_3"_s,
              u"Label1"_s,    u"Label2"_s,     u"Label3"_s,      u"Label7"_s,      u"Label8"_s,
              u"Frame1"_s,    u"CheckInfo"_s,  u"lblProgress"_s, u"listInfo"_s,    u"imgTip"_s,
              u"imgStep"_s,   u"cmdView"_s,    u"cmdAdd"_s,      u"cmdEdit"_s,     u"cmdDelete"_s,
              u"lblTotal"_s,  u"lblCurrent"_s, u"cmdFirst"_s,    u"cmdPrevious"_s, u"cmdNext"_s,
              u"cmdLast"_s,   u"cmdFinish"_s,  u"btCheckCard"_s, u"btUpdate"_s}) {
            if (!wizard->findChild<QWidget *>(name))
                missing.append(name);
        }
    });
    QCOMPARE(client, QSize(twips(8010), twips(4875)));
    QCOMPARE(cancel.topLeft(), QPoint(twips(6650), twips(4440)));
    QVERIFY(!helpVisible);
    QVERIFY(!btCancelInside);
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join(u", ")));
}

void tst_WizardFrame::failedLoadReachesTheHost()
{
    FakeDesktop desktop;
    desktop.unregister(ProgId::FormFontLoader);

    QVERIFY_THROWS_EXCEPTION(Failure, ShowUpdate().ShowExportFrm());
    QVERIFY(!UpdatePublic::wizardForm().isVisible());
    QVERIFY(!UpdatePublic::wizardForm().isLoaded());

    desktop.registerFontLoader();
    showWizard([](QWidget *) {});
    QCOMPARE(desktop.fontLoaderCreated, 1);
}

QTEST_MAIN(tst_WizardFrame)
#include "tst_wizardframe.moc"
