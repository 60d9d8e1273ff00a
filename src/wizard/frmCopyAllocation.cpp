#include "wizard/frmCopyAllocation.h"

#include "contracts/CardServices.h"
#include "forms/Captions.h"
#include "forms/Twips.h"
#include "host/MMTS.h"
#include "host/ObjectRegistry.h"
#include "host/ProgIds.h"
#include "records/RecordFields.h"
#include "widgets/ColumnStretch.h"
#include "widgets/ReportList.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace AllocFix {

frmCopyAllocation::frmCopyAllocation(QWidget *owner)
    : ModalForm(owner)
{
    setObjectName(u"frmCopyAllocation"_s);
}

frmCopyAllocation::~frmCopyAllocation() = default;

void frmCopyAllocation::createControls(QWidget *client)
{
    setWindowTitle(u"复制折旧费用分配"_s);
    const QSize design(twips(6015), twips(4620));
    resize(design);
    client->resize(design);

    lblCopyInfo = placedControl<QLabel>(client, u"lblCopyInfo"_s, 120, 120, 5775, 900);
    lblCopyInfo->setText(
        u"当前卡片的折旧费用分配将复制到下列部门和原科目都与它相同的卡片，替换它们现有的分配；保存前仍可逐张修改。"_s);
    lblCopyInfo->setWordWrap(true);
    lblCopyInfo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblCount = placedControl<QLabel>(client, u"lblCount"_s, 120, 1080, 5775, 255);
    lvCards = createReportList(client, u"lvCards"_s, {u"位置"_s, u"资产编码"_s, u"资产名称"_s});
    placeTwips(lvCards, 120, 1380, 5775, 2235);
    lvCards->setColumnWidth(0, twips(900));
    lvCards->setColumnWidth(1, twips(1500));
    lvCards->setColumnWidth(2, twips(3000));
    // Every card listed is changed: a highlighted row would suggest a choice.
    lvCards->setSelectionMode(QAbstractItemView::NoSelection);
    lblUnreadable = placedControl<QLabel>(client, u"lblUnreadable"_s, 120, 3675, 5775, 255);
    cmdOK = placedControl<QPushButton>(client, u"cmdOK"_s, 3360, 4080, 1215, 375);
    cmdOK->setText(u"复制(&C)"_s);
    cmdCancel = placedControl<QPushButton>(client, u"cmdCancel"_s, 4680, 4080, 1215, 375);
    cmdCancel->setText(u"取消"_s);

    // Grown, the list of cards takes the room.
    stretchColumns(lvCards->header(), {0, 1, 2});
    anchors().add(lblCopyInfo, {0, 0, 1, 0});
    anchors().add(lblCount, {0, 0, 1, 0});
    anchors().add(lvCards, {0, 0, 1, 1});
    anchors().add(lblUnreadable, {0, 1, 1, 0});
    anchors().add(cmdOK, {1, 1, 0, 0});
    anchors().add(cmdCancel, {1, 1, 0, 0});
    setGrowable(design, u"CopyAllocation"_s);

    connect(cmdOK, &QPushButton::clicked, this, [this] {
        m_confirmed = true;
        unloadForm();
    });
    connect(cmdCancel, &QPushButton::clicked, this, &frmCopyAllocation::unloadForm);
}

void frmCopyAllocation::controlsDiscarded()
{
    lblCopyInfo = lblCount = lblUnreadable = nullptr;
    lvCards = nullptr;
    cmdOK = cmdCancel = nullptr;
}

void frmCopyAllocation::formLoad()
{
    setKeyPreview(true);
    MMTS::ApplyFormFont(this);
    m_confirmed = false;
    for (QWidget *control : std::initializer_list<QWidget *>{this, lblCopyInfo, cmdOK, cmdCancel})
        localiseCaption(control);
    localiseColumnHeaders(lvCards);
    lblCount->setText(MMTS::LoadLangString(u"将要修改的卡片数量："_s) + u' ' +
                      QString::number(m_copy.targets.size()));
    // A list takes no name from a buddy: the count above it names it.
    lvCards->setAccessibleName(lblCount->text());
    fillList();
    showUnreadable();
    cmdOK->setEnabled(!m_copy.targets.isEmpty());
    cmdCancel->setFocus();
}

// The cards by the position the wizard shows them at, with their reference data; a card whose
// reference data cannot be read is listed by its position alone.
void frmCopyAllocation::fillList()
{
    const QString props = MMTS::GetPropsString();
    for (const AllocationCopy::Target &target : std::as_const(m_copy.targets)) {
        auto *row = new QTreeWidgetItem(lvCards);
        row->setText(0, QString::number(target.position));
        setRowTag(row, QString::number(target.position));
        try {
            qint32 cardId = target.cardId;
            const FieldRecord info =
                createService<ICardInfo>(ProgId::CardInfo)->GetCardInf(props, cardId);
            row->setText(1, info.value(Fields::FAssetNumber).toText());
            row->setText(2, info.value(Fields::FAssetName).toText());
        } catch (...) {
            // Listed by position only.
        }
    }
    if (lvCards->topLevelItemCount() > 0)
        lvCards->setCurrentItem(lvCards->topLevelItem(0));
}

void frmCopyAllocation::showUnreadable()
{
    lblUnreadable->setVisible(!m_copy.unreadable.isEmpty());
    if (m_copy.unreadable.isEmpty())
        return;
    QStringList positions;
    for (const qsizetype position : std::as_const(m_copy.unreadable))
        positions.append(QString::number(position));
    const QString text = MMTS::LoadLangString(u"无法读取、不会修改的卡片："_s) + u' ' +
                         positions.join(MMTS::LoadLangString(u"、"_s));
    // A long list is cut short; the tooltip keeps it whole.
    lblUnreadable->setText(
        lblUnreadable->fontMetrics().elidedText(text, Qt::ElideRight, lblUnreadable->width()));
    lblUnreadable->setToolTip(text);
    lblUnreadable->setAccessibleName(text);
}

void frmCopyAllocation::formKeyDown(qint32 keyCode, const QKeyEvent &)
{
    MMTS::HandleHelpKey(keyCode, MMTS::HelpContextAdjustment, QString(), 0, QString(), 0);
}

} // namespace AllocFix
