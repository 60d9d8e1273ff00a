#include "wizard/frmUpdateData.h"

#include "forms/Captions.h"
#include "forms/Twips.h"
#include "host/MMTS.h"
#include "widgets/SplitBars.h"
#include "wizard/WizardPictures.h"

#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace AllocFix {

namespace {
constexpr int HiddenPageLeft = -10000;
}

frmUpdateData::frmUpdateData()
{
    setObjectName(u"frmUpdateData"_s);
    createUndoActions();
}

frmUpdateData::~frmUpdateData() = default;

void frmUpdateData::createControls(QWidget *client)
{
    setWindowTitle(u"账套卡片数据调整"_s);
    const QSize design(twips(8010), twips(4875));
    resize(design);
    client->resize(design);
    m_ui = std::make_unique<WizardControls>(WizardControls::create(client));
    m_pageDesignSize = m_ui->fraStep[0]->size();
    m_ui->anchor(anchors());
    connectControls();
    setGrowable(design, u"UpdateData"_s);
}

void frmUpdateData::controlsGrown()
{
    if (!m_ui)
        return;
    for (QFrame *page : m_ui->fraStep)
        page->resize(m_pageDesignSize + anchors().growth());
    QLabel *picture = m_ui->imgTip;
    if (picture->pixmap().deviceIndependentSize().toSize() != picture->size())
        picture->setPixmap(introductionPicture(picture->size(), picture->devicePixelRatioF()));
    placeSplitDisplay();
}

void frmUpdateData::placeSplitDisplay()
{
    const WizardControls &c = *m_ui;
    // At the design size the line stays: the bars need the room only a grown form has.
    const int room = anchors().growth().height();
    const int needed = c.splitBars->barsHeight() - c.lblRateTotals->height();
    const bool bars = !c.splitBars->bars().isEmpty() && room > 0 && needed <= room;
    if (bars) {
        const QRect line = c.lblRateTotals->geometry();
        const int gap = line.top() - c.lvExpense->geometry().bottom();
        const QRect barsPlace(line.left(), line.bottom() + 1 - c.splitBars->barsHeight(),
                              line.width(), c.splitBars->barsHeight());
        c.splitBars->setGeometry(barsPlace);
        QRect list = c.lvExpense->geometry();
        list.setBottom(std::min(list.bottom(), barsPlace.top() - gap));
        c.lvExpense->setGeometry(list);
    }
    c.splitBars->setVisible(bars);
    c.lblRateTotals->setVisible(!bars);
}

void frmUpdateData::controlsDiscarded()
{
    // Whatever the steps changed is gone with the step: nothing is left to take back.
    m_undoStack.clear();
    m_ui.reset();
}

void frmUpdateData::formLoad()
{
    MMTS::ApplyFormFont(this);
    SetWizardCaptions();
    ResetSteps();
}

void frmUpdateData::connectControls()
{
    const WizardControls &c = *m_ui;
    connect(c.btNext, &QPushButton::clicked, this, &frmUpdateData::GoNextStep);
    connect(c.btPrev, &QPushButton::clicked, this, &frmUpdateData::GoPrevStep);
    connect(c.cmdCancel, &QPushButton::clicked, this, &frmUpdateData::unloadForm);
    connect(c.btCancel, &QPushButton::clicked, this, &frmUpdateData::unloadForm);
    connect(c.btHelp, &QPushButton::clicked, this, [] {
        // The window has no help of its own: F1 goes to whatever window is active.
        if (QWidget *target = QApplication::focusWidget()) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
            QApplication::sendEvent(target, &press);
        }
    });

    connect(c.btCheckCard, &QPushButton::clicked, this, &frmUpdateData::checkCommand);
    connect(c.btUpdate, &QPushButton::clicked, this, &frmUpdateData::adjustCommand);

    // Each command tests its limit first; at the limit it only says so.
    const QString first = u"当前位置已经是第一条！"_s;
    const QString last = u"当前位置已经是最后一条！"_s;
    connect(c.cmdFirst, &QPushButton::clicked, this,
            [this, first] { goToCard(1, CardPos == 1, first); });
    connect(c.cmdPrevious, &QPushButton::clicked, this,
            [this, first] { goToCard(CardPos - 1, CardPos == 1, first); });
    connect(c.cmdNext, &QPushButton::clicked, this,
            [this, last] { goToCard(CardPos + 1, CardPos == CardCount, last); });
    connect(c.cmdLast, &QPushButton::clicked, this,
            [this, last] { goToCard(CardCount, CardPos == CardCount, last); });
    connect(c.cmdView, &QPushButton::clicked, this, [this] { CardView(CurFAlterID); });
    connect(c.cmdAdd, &QPushButton::clicked, this, &frmUpdateData::addExpenseCommand);
    connect(c.cmdEdit, &QPushButton::clicked, this, &frmUpdateData::editExpenseCommand);
    connect(c.lvExpense, &QTreeWidget::itemDoubleClicked, this, &frmUpdateData::editExpenseCommand);
    connect(c.cmdDelete, &QPushButton::clicked, this, &frmUpdateData::deleteExpenseCommand);
    connect(c.cmdFinish, &QPushButton::clicked, this, &frmUpdateData::finishCommand);
    connect(c.cmdCopy, &QPushButton::clicked, this, &frmUpdateData::copyAllocationCommand);
}

void frmUpdateData::SetWizardCaptions()
{
    localiseCaption(this);
    const WizardControls &c = *m_ui;
    for (QWidget *control : std::initializer_list<QWidget *>{
             c.cmdCancel,   c.btHelp,      c.btCancel,   c.btNext,     c.btPrev,     c.fraStep[1],
             c.btUpdate,    c.btCheckCard, c.lblInfo[3], c.lblHelp[3], c.fraStep[0], c.Label8,
             c.Label7,      c.lblInfo[2],  c.lblHelp[2], c.fraStep[2], c.cmdView,    c.cmdDelete,
             c.cmdEdit,     c.cmdAdd,      c.cmdFinish,  c.cmdLast,    c.cmdFirst,   c.cmdNext,
             c.cmdPrevious, c.lblTotal,    c.Label3,     c.Label2,     c.Label1,     c.lblInfo[1],
             c.lblCurrent}) {
        localiseCaption(control);
    }
    localiseColumnHeaders(c.lvExpense);
    localiseColumnHeaders(c.lvDept);
    // For assistive technology: a list is named by the label above it (lists take no name from a
    // buddy), the check report by its heading.
    for (const auto &[label, list] : {std::pair<QLabel *, QWidget *>{c.Label3, c.listInfo},
                                      {c.Label2, c.lvDept},
                                      {c.Label1, c.lvExpense}}) {
        list->setAccessibleName(label->text());
    }
    c.CheckInfo->setAccessibleName(MMTS::LoadLangString(u"卡片检查结果："_s));
    // The copy command is no specified control: its caption comes after all of theirs.
    localiseCaption(c.cmdCopy);
    c.cmdCopy->setToolTip(
        MMTS::LoadLangString(u"把当前卡片的折旧费用分配复制到部门和原科目都与它相同的其他卡片"_s));
}

void frmUpdateData::showPage(int index)
{
    QFrame *page = m_ui->fraStep[index];
    moveLeftTwips(page, 0);
    page->setEnabled(true);
}

void frmUpdateData::hidePage(int index)
{
    QFrame *page = m_ui->fraStep[index];
    moveLeftTwips(page, HiddenPageLeft);
    page->setEnabled(false);
}

void frmUpdateData::ResetSteps()
{
    m_currentStep = 0;
    showPage(0);
    m_ui->btPrev->setEnabled(false);
    m_ui->btNext->setEnabled(true);
    for (int index = 1; index < PageCount; ++index)
        hidePage(index);
}

void frmUpdateData::GoNextStep()
{
    if (!m_ui->btNext->isEnabled() || m_currentStep == 2)
        return;
    ++m_currentStep;
    showPage(m_currentStep);
    hidePage(m_currentStep - 1);
    if (m_currentStep == 1) {
        m_ui->btPrev->setEnabled(true);
        m_ui->btNext->setEnabled(false);
    }
}

void frmUpdateData::GoPrevStep()
{
    if (!m_ui->btPrev->isEnabled() || m_currentStep == 0 || m_currentStep == 2)
        return;
    --m_currentStep;
    showPage(m_currentStep);
    hidePage(m_currentStep + 1);
    m_ui->btPrev->setEnabled(m_currentStep != 0);
    m_ui->btNext->setEnabled(true);
}

} // namespace AllocFix
