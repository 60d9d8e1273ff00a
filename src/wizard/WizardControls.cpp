#include "wizard/WizardControls.h"

#include "forms/ControlAnchors.h"
#include "forms/Twips.h"
#include "widgets/ColumnStretch.h"
#include "widgets/ReportList.h"
#include "widgets/SplitBars.h"
#include "wizard/WizardPictures.h"

#include <QFontMetrics>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>

#include <algorithm>
#include <array>
#include <numeric>

using namespace Qt::StringLiterals;

namespace AllocFix {

namespace {

QPushButton *button(QWidget *parent, const QString &name, const QString &caption, int left, int top,
                    int width, int height = 345)
{
    auto *control = placedControl<QPushButton>(parent, name, left, top, width, height);
    control->setText(caption);
    return control;
}

QLabel *label(QWidget *parent, const QString &name, const QString &caption, int left, int top,
              int width, int height)
{
    auto *control = placedControl<QLabel>(parent, name, left, top, width, height);
    control->setText(caption);
    control->setWordWrap(height > 300);
    control->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return control;
}

QLabel *title(QWidget *parent, const QString &name, const QString &caption, int left, int top,
              int width)
{
    QLabel *control = label(parent, name, caption, left, top, width, 330);
    QFont font;
    font.setBold(true);
    control->setFont(font);
    return control;
}

QFrame *page(QWidget *client, int index, const QString &caption)
{
    auto *frame = placedControl<QFrame>(client, u"fraStep_%1"_s.arg(index), 0, 0, 7995, 4305);
    // The caption names the page for the host's tools; a page shows no border or title.
    frame->setWindowTitle(caption);
    frame->setFrameShape(QFrame::NoFrame);
    return frame;
}

void buildIntroduction(WizardControls &c, QFrame *p)
{
    c.imgTip = placedControl<QLabel>(p, u"imgTip"_s, 120, 120, 2160, 4065);
    c.imgTip->setPixmap(introductionPicture(c.imgTip->size(), c.imgTip->devicePixelRatioF()));
    c.lblInfo[2] = title(p, u"lblInfo_2"_s, u"欢迎！"_s, 2520, 240, 5295);
    c.lblHelp[2] =
        label(p, u"lblHelp_2"_s,
              u"欢迎您使用Q/7系统的标准卡片数据调整功能!此功能主要针对多部门使用的卡片进调整"_s,
              2520, 840, 5295, 1095);
    c.Label8 = label(p, u"Label8"_s, u"进行数据调整前,请做账套备份!"_s, 2520, 2160, 5295, 615);
    QFont warning;
    warning.setBold(true);
    c.Label8->setFont(warning);
    c.Label8->setStyleSheet(u"color: #b00000;"_s);
    c.Label7 =
        label(p, u"Label7"_s, u"请选择“下一步”开始卡片调整的过程。"_s, 2520, 3600, 5295, 495);
}

void buildCheckPage(WizardControls &c, QFrame *p)
{
    c.imgStep = placedControl<QLabel>(p, u"imgStep"_s, 120, 120, 600, 600);
    c.imgStep->setPixmap(stepPicture(c.imgStep->size(), c.imgStep->devicePixelRatioF()));
    c.lblInfo[3] = title(p, u"lblInfo_3"_s, u"开始调整："_s, 840, 120, 7035);
    c.lblHelp[3] = label(
        p, u"lblHelp_3"_s,
        u"卡片数据调整所需的全部信息均已获知，选择“开始调整”以开始调整卡片。或者选择“检查卡片”以检查是否有可正确调整的卡片信息。"_s,
        840, 480, 7035, 795);
    c.btCheckCard = button(p, u"btCheckCard"_s, u"检查卡片"_s, 840, 1365, 1335, 375);
    c.btUpdate = button(p, u"btUpdate"_s, u"开始调整"_s, 2295, 1365, 1335, 375);
    // The progress text stands beside the buttons that start the work, so the report below
    // shows all its seven lines in the host's CJK font.
    c.lblProgress = label(p, u"lblProgress"_s, QString(), 3750, 1410, 4125, 285);
    c.CheckInfo = placedControl<QPlainTextEdit>(p, u"CheckInfo"_s, 840, 1860, 7035, 2325);
    c.CheckInfo->setReadOnly(true);
    c.CheckInfo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

void buildManualPage(WizardControls &c, QFrame *p)
{
    c.lblInfo[1] = title(p, u"lblInfo_1"_s, u"你正在手工进行多折旧费用重新分配!"_s, 120, 60, 7755);

    c.Label3 = label(p, u"Label3"_s, u"卡片参考信息："_s, 120, 450, 1500, 255);
    c.cmdView = button(p, u"cmdView"_s, u"查看卡片"_s, 1635, 390, 1125, 330);
    c.listInfo = placedControl<QListWidget>(p, u"listInfo"_s, 120, 765, 2640, 855);
    c.Label2 = label(p, u"Label2"_s, u"部门分配信息："_s, 120, 1710, 2640, 255);
    c.lvDept = createReportList(p, u"lvDept"_s, {u"部门"_s, u"比例 %"_s});
    placeTwips(c.lvDept, 120, 1995, 2640, 1650);
    c.lvDept->setColumnWidth(0, twips(1500));
    c.lvDept->setColumnWidth(1, twips(900));
    stretchColumns(c.lvDept->header(), {1, 0});

    // The copy command stands at the end of the list's heading, as cmdView does beside Label3.
    c.cmdCopy = button(p, u"cmdCopy"_s, u"复制分配(&C)..."_s, 6135, 390, 1740, 330);
    c.Label1 = label(p, u"Label1"_s, u"折旧费用分配信息："_s, 2880, 450, 3195, 255);
    c.lvExpense =
        createReportList(p, u"lvExpense"_s, {u"部门"_s, u"科目"_s, u"核算项目"_s, u"比例 %"_s});
    // One line of the list's height goes to the totals under it: the only room there is between
    // the list and the commands below it.
    placeTwips(c.lvExpense, 2880, 765, 4995, 2100);
    c.lblRateTotals = label(p, u"lblRateTotals"_s, QString(), 2880, 2880, 4995, 285);
    c.lblRateTotals->setTextFormat(Qt::RichText);
    c.lblRateTotals->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    c.lvExpense->setColumnWidth(0, twips(1020));
    c.lvExpense->setColumnWidth(1, twips(1500));
    c.lvExpense->setColumnWidth(2, twips(1560));
    c.lvExpense->setColumnWidth(3, twips(780));
    // The account and the item texts are what a wider list is for.
    stretchColumns(c.lvExpense->header(), {0, 1, 2, 0});
    c.splitBars = new SplitBars(p);
    c.splitBars->setObjectName(u"splitBars"_s);
    c.splitBars->setGeometry(c.lblRateTotals->geometry());
    c.splitBars->setVisible(false);
    c.cmdAdd = button(p, u"cmdAdd"_s, u"折旧费用增加(&A)"_s, 2880, 3270, 1605);
    c.cmdEdit = button(p, u"cmdEdit"_s, u"折旧费用编辑(&E)"_s, 4575, 3270, 1605);
    c.cmdDelete = button(p, u"cmdDelete"_s, u"折旧费用删除(&D)"_s, 6270, 3270, 1605);

    c.lblTotal = label(p, u"lblTotal"_s, u"共"_s, 120, 3870, 975, 255);
    c.lblCurrent = label(p, u"lblCurrent"_s, u"当前第"_s, 1095, 3870, 1320, 255);
    c.cmdFirst = button(p, u"cmdFirst"_s, u"最前一条"_s, 2415, 3795, 1005);
    c.cmdPrevious = button(p, u"cmdPrevious"_s, u"上一条"_s, 3450, 3795, 1005);
    c.cmdNext = button(p, u"cmdNext"_s, u"下一条"_s, 4485, 3795, 1005);
    c.cmdLast = button(p, u"cmdLast"_s, u"最后一条"_s, 5520, 3795, 1005);
    c.cmdFinish = button(p, u"cmdFinish"_s, u"所有分配完成"_s, 6555, 3795, 1320);
}

} // namespace

void WizardControls::fitCountRow(const QString &widestTotal, const QString &widestCurrent)
{
    // A label needs its text and a space before whatever follows it.
    const auto fit = [](QLabel *label, const QString &text, int left) {
        const QFontMetrics metrics = label->fontMetrics();
        const int needed =
            metrics.horizontalAdvance(text.trimmed()) + metrics.horizontalAdvance(u' ');
        label->setGeometry(left, label->y(), std::max(label->width(), needed), label->height());
    };
    fit(lblTotal, widestTotal, lblTotal->x());
    fit(lblCurrent, widestCurrent, lblTotal->geometry().right() + 1);

    const std::array<QPushButton *, 5> commands{cmdFirst, cmdPrevious, cmdNext, cmdLast, cmdFinish};
    const int left = lblCurrent->geometry().right() + 1;
    if (left <= cmdFirst->x())
        return;
    const int right = cmdFinish->geometry().right() + 1;
    const int gap = cmdPrevious->x() - cmdFirst->geometry().right() - 1;
    const int widths =
        std::accumulate(commands.begin(), commands.end(), 0,
                        [](int sum, const QPushButton *command) { return sum + command->width(); });
    const int room = right - left - gap * static_cast<int>(commands.size() - 1);
    int x = left;
    for (QPushButton *command : commands) {
        const int width = command == cmdFinish ? right - x : command->width() * room / widths;
        command->setGeometry(x, command->y(), width, command->height());
        x += width + gap;
    }
}

void WizardControls::anchor(ControlAnchors &anchors) const
{
    // The card's lists on the left take a quarter of the width gained, the expense list the rest.
    constexpr double Left = 0.25;
    constexpr double Right = 1 - Left;
    constexpr Anchor Stays{};
    constexpr Anchor Widens{0, 0, 1, 0};
    constexpr Anchor Fills{0, 0, 1, 1};
    constexpr Anchor Down{0, 1, 0, 0};
    constexpr Anchor DownRight{1, 1, 0, 0};
    const std::initializer_list<std::pair<QWidget *, Anchor>> rules{
        {Frame1, {0, 1, 1, 0}},
        {btHelp, Down},
        {btPrev, DownRight},
        {btNext, DownRight},
        {cmdCancel, DownRight},
        {btCancel, DownRight},

        {imgTip, {0, 0, 0, 1}},
        {lblInfo[2], Widens},
        {lblHelp[2], Widens},
        {Label8, Widens},
        {Label7, Widens},

        {imgStep, Stays},
        {lblInfo[3], Widens},
        {lblHelp[3], Widens},
        {lblProgress, Widens},
        {CheckInfo, Fills},

        {lblInfo[1], Widens},
        {cmdView, {Left, 0, 0, 0}},
        {listInfo, {0, 0, Left, 0.5}},
        {Label2, {0, 0.5, Left, 0}},
        {lvDept, {0, 0.5, Left, 0.5}},
        {cmdCopy, {1, 0, 0, 0}},
        {Label1, {Left, 0, Right, 0}},
        {lvExpense, {Left, 0, Right, 1}},
        {lblRateTotals, {Left, 1, Right, 0}},
        {splitBars, {Left, 1, Right, 0}},
        {cmdAdd, DownRight},
        {cmdEdit, DownRight},
        {cmdDelete, DownRight},
        {lblTotal, Down},
        {lblCurrent, Down},
        {cmdFirst, DownRight},
        {cmdPrevious, DownRight},
        {cmdNext, DownRight},
        {cmdLast, DownRight},
        {cmdFinish, DownRight},
    };
    for (const auto &[control, rule] : rules)
        anchors.add(control, rule);
}

WizardControls WizardControls::create(QWidget *client)
{
    WizardControls c;
    c.fraStep[0] = page(client, 0, u"Introduction"_s);
    c.fraStep[1] = page(client, 1, u"step3"_s);
    c.fraStep[2] = page(client, 2, u"step2"_s);
    buildIntroduction(c, c.fraStep[0]);
    buildCheckPage(c, c.fraStep[1]);
    buildManualPage(c, c.fraStep[2]);

    c.Frame1 = placedControl<QFrame>(client, u"Frame1"_s, 135, 4320, 7800, 40);
    c.Frame1->setFrameShape(QFrame::HLine);
    c.Frame1->setFrameShadow(QFrame::Sunken);

    c.btHelp = button(client, u"btHelp"_s, u"帮助"_s, 240, 4470, 1095, 375);
    c.btHelp->setVisible(false);
    c.btPrev = button(client, u"btPrev"_s, u"< 上一步(&B)"_s, 3720, 4440, 1125, 375);
    c.btNext = button(client, u"btNext"_s, u"下一步(&N) >"_s, 4920, 4440, 1125, 375);
    c.cmdCancel = button(client, u"cmdCancel"_s, u"取消"_s, 6650, 4440, 1125, 375);
    // Below the visible client area: it serves as a second way to the cancel action.
    c.btCancel = button(client, u"btCancel"_s, u"取消"_s, 6650, 5040, 1125, 375);
    return c;
}

} // namespace AllocFix
