#include "wizard/frmShowInf.h"

#include "allocation/AllocationState.h"
#include "allocation/ManualStep.h"
#include "allocation/Saving.h"
#include "allocation/Validation.h"
#include "forms/Captions.h"
#include "forms/Twips.h"
#include "host/ErrorRecord.h"
#include "host/MMTS.h"
#include "host/MessageBox.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QTextBlock>
#include <QWindow>

#include <memory>

using namespace Qt::StringLiterals;

namespace AllocFix {

namespace {

constexpr int DesignWidth = 5355;
constexpr int DesignHeight = 3615;
constexpr int ProgressWidth = 4680;
constexpr int ProgressHeight = 900;
// The result window is 5475 × 3360 twips with its fixed single border: 60 twips of border on
// each side and a 285-twip caption leave the client area below.
constexpr int ResultWidth = 5475 - 2 * 60;
constexpr int ResultHeight = 3360 - 2 * 60 - 285;
// The progress window stands this far right and down of where the dialog was shown.
constexpr int OffsetRight = 398;
constexpr int OffsetDown = 1000;

std::unique_ptr<frmShowInf> &instance()
{
    static std::unique_ptr<frmShowInf> form;
    return form;
}

} // namespace

frmShowInf::frmShowInf()
{
    setObjectName(u"frmShowInf"_s);
    // No cancel button: Esc must not end the showing, least of all while it checks and saves.
    setEscapeCloses(false);
}

frmShowInf::~frmShowInf() = default;

void frmShowInf::createControls(QWidget *client)
{
    setWindowTitle(u"数据检查"_s);
    setBorder(true);
    setFixedClientSize(QSize(twips(DesignWidth), twips(DesignHeight)));
    // Each showing starts where a window without an owner is placed, not where the last ended.
    setAttribute(Qt::WA_Moved, false);

    labInf = new QLabel(u"Label2"_s, client);
    labInf->setObjectName(u"labInf"_s);
    placeTwips(labInf, 600, 120, 4095, 375);
    labInf->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    pbCheck = new QProgressBar(client);
    pbCheck->setObjectName(u"pbCheck"_s);
    // Within the borderless progress window, as far from its right edge as from its left.
    placeTwips(pbCheck, 600, 540, ProgressWidth - 2 * 600, 240);
    pbCheck->setTextVisible(false);

    Label1 = new QLabel(u"数据检查结果："_s, client);
    Label1->setObjectName(u"Label1"_s);
    placeTwips(Label1, 120, 120, 1695, 255);

    expInfo = new QPlainTextEdit(client);
    expInfo->setObjectName(u"expInfo"_s);
    placeTwips(expInfo, 0, 1080, 5175, 1935);
    expInfo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    expInfo->viewport()->installEventFilter(this);
    Label1->setBuddy(expInfo);

    cmdSure = new QPushButton(u"确定(&S)"_s, client);
    cmdSure->setObjectName(u"cmdSure"_s);
    placeTwips(cmdSure, 4320, 3120, 975, 375);
    // The wizard stays open with all allocations as they were.
    connect(cmdSure, &QPushButton::clicked, this, &frmShowInf::unloadForm);
}

void frmShowInf::controlsDiscarded()
{
    labInf = nullptr;
    pbCheck = nullptr;
    Label1 = nullptr;
    expInfo = nullptr;
    cmdSure = nullptr;
}

void frmShowInf::formLoad()
{
    setKeyPreview(true);
    MMTS::ApplyFormFont(this);
    for (QWidget *control : std::initializer_list<QWidget *>{this, cmdSure, labInf, Label1})
        localiseCaption(control);
    expInfo->setToolTip(MMTS::LoadLangString(u"双击某一行可转到该行所说的卡片。"_s));
    pbCheck->setAccessibleName(MMTS::LoadLangString(u"数据检查进度"_s));
    m_saved = false;
    m_checkPending = true;
}

void frmShowInf::formKeyDown(qint32 keyCode, const QKeyEvent &)
{
    MMTS::HandleHelpKey(keyCode, MMTS::HelpContextAdjustment, QString(), 0, QString(), 0);
}

void frmShowInf::showModalFor(ModalForm &wizard, const ManualStep &step)
{
    m_wizard = &wizard;
    m_step = &step;
    const auto forget = qScopeGuard([this] {
        m_step = nullptr;
        m_wizard = nullptr;
    });
    showModal();
}

bool frmShowInf::event(QEvent *event)
{
    const bool handled = ModalForm::event(event);
    // Without a step there is nothing to check: only showModalFor gives one.
    if (event->type() == QEvent::WindowActivate && m_checkPending && m_step) {
        m_checkPending = false;
        checkAndSave();
    }
    return handled;
}

bool frmShowInf::eventFilter(QObject *watched, QEvent *event)
{
    if (expInfo && watched == expInfo->viewport() && event->type() == QEvent::MouseButtonDblClick &&
        chooseFaultCard(static_cast<QMouseEvent *>(event)->position().toPoint())) {
        return true;
    }
    return ModalForm::eventFilter(watched, event);
}

// A double-click anywhere else keeps its meaning in the text box: it selects a word.
bool frmShowInf::chooseFaultCard(QPoint at)
{
    try {
        if (!m_step)
            return false;
        // One line per fault, in order; the empty line below the faults names no card.
        const int line = expInfo->cursorForPosition(at).block().blockNumber();
        if (line < 0 || line >= m_faults.size())
            return false;
        const qsizetype position = m_faults.at(line).card;
        if (position < 1 || position > m_step->vecFalterID().count())
            return false;
        unloadForm();
        Q_EMIT FaultCardChosen(static_cast<qint32>(position));
        return true;
    } catch (...) {
        // The click keeps its meaning in the text box; the list stays for the user to read.
        return false;
    }
}

void frmShowInf::paintEvent(QPaintEvent *event)
{
    ModalForm::paintEvent(event);
    // Without a border the progress window would melt into the wizard behind it.
    if (windowFlags().testFlag(Qt::FramelessWindowHint)) {
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void frmShowInf::checkAndSave()
{
    try {
        m_shownAt = pos();
        showProgressLayout();
        setProgressText(u"正在检查数据,请稍侯..."_s);
        m_faults = ValidateAllocations(
            *m_step, [this](qsizetype done, qsizetype total) { showCheckProgress(done, total); });
        if (m_faults.isEmpty()) {
            moveByOffsets(2);
            setProgressText(u"正在保存折旧费用分配信息，请稍候..."_s);
            // A service that answers that it did not save has failed as surely as one that raises.
            if (!SaveAllocations(*m_step)) {
                throw Failure(
                    ErrorNumber::ServiceBase,
                    MMTS::LoadLangString(u"卡片服务没有保存折旧费用分配信息，什么也没有保存。"_s));
            }
            Q_EMIT Saved();
            m_saved = true;
        } else {
            showResultLayout();
        }
    } catch (...) {
        // A failing service, in the check or in the save: nothing was saved and the wizard keeps
        // every allocation, so the user can retry or cancel.
        showCommandFailure(recordCaughtException().description, this);
        unloadForm();
        return;
    }
    if (m_saved) {
        m_saved = false;
        unloadForm();
        if (m_wizard)
            m_wizard->unloadForm();
    }
}

void frmShowInf::setClientSize(int width, int height)
{
    setFixedClientSize(QSize(twips(width), twips(height)));
}

void frmShowInf::showProgressLayout()
{
    setClientSize(ProgressWidth, ProgressHeight);
    moveByOffsets(1);
    pbCheck->setRange(0, 0);
    pbCheck->setVisible(true);
    Label1->setVisible(false);
    expInfo->setVisible(false);
    cmdSure->setVisible(false);
    setBorder(false);
}

void frmShowInf::showResultLayout()
{
    moveByOffsets(0);
    setBorder(true);
    expInfo->clear();
    labInf->setVisible(false);
    pbCheck->setVisible(false);
    setClientSize(ResultWidth, ResultHeight);
    Label1->setVisible(true);
    expInfo->setVisible(true);
    cmdSure->setVisible(true);
    Label1->move(twips(120), twips(120));
    expInfo->move(twips(120), twips(480));
    cmdSure->move(twips(4320), twips(2520));
    // The list of faults is what a larger window is for; it opens at the size it was left at.
    anchors().add(expInfo, {0, 0, 1, 1});
    anchors().add(cmdSure, {1, 1, 0, 0});
    setGrowable(QSize(twips(ResultWidth), twips(ResultHeight)), u"ShowInf"_s);
    expInfo->setPlainText(validationText(m_faults));
}

void frmShowInf::setBorder(bool on)
{
    Qt::WindowFlags flags = windowFlags();
    flags.setFlag(Qt::FramelessWindowHint, !on);
    // Told to the shown window directly: setWindowFlags would hide the dialog, and hiding a
    // dialog ends its modal loop.
    overrideWindowFlags(flags);
    if (QWindow *window = windowHandle())
        window->setFlags(flags);
}

void frmShowInf::moveByOffsets(int count)
{
    // From where it was shown, not from where it is: the window's frame comes and goes.
    move(m_shownAt + count * QPoint(twips(OffsetRight), twips(OffsetDown)));
}

void frmShowInf::setProgressText(const QString &text)
{
    labInf->setText(MMTS::LoadLangString(text));
    // Painted before the work that follows blocks the thread.
    QCoreApplication::processEvents();
}

void frmShowInf::showCheckProgress(qsizetype done, qsizetype total)
{
    // A hundred steps at most: each paints, which a card alone does not pay for.
    const qsizetype every = qMax<qsizetype>(1, total / 100);
    if (done % every != 0 && done != total)
        return;
    pbCheck->setRange(0, static_cast<int>(total));
    pbCheck->setValue(static_cast<int>(done));
    // Painted, with the rest of the screen, while the check goes on; the dialog takes no input.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

frmShowInf &checkAndSaveForm()
{
    auto &form = instance();
    if (!form)
        form = std::make_unique<frmShowInf>();
    return *form;
}

void resetCheckAndSaveForm()
{
    instance().reset();
}

} // namespace AllocFix
