#include "editors/frmDept.h"

#include "allocation/AllocationState.h"
#include "allocation/AllocationTexts.h"
#include "allocation/Rate.h"
#include "contracts/ErrorReporter.h"
#include "forms/Captions.h"
#include "forms/Twips.h"
#include "host/ErrorRecord.h"
#include "host/MMTS.h"
#include "host/SpaceTrim.h"
#include "records/FieldRecord.h"
#include "records/RecordFields.h"
#include "widgets/ColumnStretch.h"
#include "widgets/ListViewUtilities.h"
#include "widgets/ReportList.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace AllocFix {

namespace {

const QString DialogTitle = u"部门分配情况"_s;

QPushButton *button(QWidget *client, const QString &name, const QString &caption, int top)
{
    auto *control = placedControl<QPushButton>(client, name, 3000, top, 1215, 330);
    control->setText(caption);
    return control;
}

} // namespace

frmDept::frmDept(QWidget *owner)
    : ModalForm(owner)
{
    setObjectName(u"frmDept"_s);
    // No cancel button: Esc does not close the dialog.
    setEscapeCloses(false);
}

frmDept::~frmDept() = default;

void frmDept::setAssetName(const QString &name)
{
    m_assetName = trimSpaces(name);
}

void frmDept::setData(const RecordList &departments)
{
    try {
        m_data = CloneRecordList(departments);
    } catch (...) {
        // No list to show: the dialog opens empty and only closes.
        m_data = RecordList();
    }
}

void frmDept::createControls(QWidget *client)
{
    setWindowTitle(DialogTitle);
    const QSize design(twips(4380), twips(3030));
    resize(design);
    client->resize(design);
    setFont(QFont(u"宋体"_s, 9));

    lblAssetName = placedControl<QLabel>(client, u"lblAssetName"_s, 165, 120, 4020, 255);
    lblAssetName->setText(u"固定资产："_s);
    lvDept = createReportList(client, u"lvDept"_s, {u"部门"_s, u"比例 %"_s});
    placeTwips(lvDept, 120, 360, 2775, 2535);
    // The label reaches a pixel into the list below it: its text sits at its top and stays in
    // front, so the list cuts no descender short.
    lblAssetName->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblAssetName->raise();
    lvDept->header()->resizeSection(0, twips(1560));
    lvDept->header()->resizeSection(1, twips(1080));
    lvDept->header()->setSectionsClickable(true);
    m_sortedDescending = QList<bool>(lvDept->columnCount(), false);

    btSure = button(client, u"btSure"_s, u"确定(&S)..."_s, 120);
    btAdd = button(client, u"btAdd"_s, u"增加(&A)..."_s, 600);
    btEdit = button(client, u"btEdit"_s, u"编辑(&E)..."_s, 1080);
    btDelete = button(client, u"btDelete"_s, u"删除(&D)"_s, 1560);
    btReset = button(client, u"btReset"_s, u"恢复(&R)"_s, 2040);
    btClose = button(client, u"btClose"_s, u"关闭(&C)"_s, 2640);
    setTabOrder(btAdd, btEdit);
    setTabOrder(btEdit, btDelete);
    setTabOrder(btDelete, btReset);
    setTabOrder(btReset, btClose);
    setTabOrder(btClose, lvDept);
    setTabOrder(lvDept, btSure);

    // Grown, the list takes the room and the buttons stay at its right.
    stretchColumns(lvDept->header(), {1, 0});
    anchors().add(lblAssetName, {0, 0, 1, 0});
    anchors().add(lvDept, {0, 0, 1, 1});
    for (QPushButton *command : {btSure, btAdd, btEdit, btDelete, btReset, btClose})
        anchors().add(command, {1, 0, 0, 0});
    // Its size beside its column widths.
    setGrowable(design, ColumnWidthsSection);

    connect(btSure, &QPushButton::clicked, this, &frmDept::pickSelected);
    connect(lvDept, &QTreeWidget::itemDoubleClicked, this, &frmDept::pickSelected);
    connect(btClose, &QPushButton::clicked, this, &frmDept::unloadForm);
    connect(lvDept->header(), &QHeaderView::sectionClicked, this, &frmDept::sortByColumn);
}

void frmDept::controlsDiscarded()
{
    try {
        // A load that failed part way leaves the design widths, not the user's.
        if (lvDept && loadFinished() && !IsShiftDown())
            SaveColumnWidths(lvDept, ColumnWidthsSection);
    } catch (...) {
        // The stored widths stay as they were.
    }
    lblAssetName = nullptr;
    lvDept = nullptr;
    btSure = btAdd = btEdit = btDelete = btReset = btClose = nullptr;
}

void frmDept::formLoad()
{
    setKeyPreview(true);
    MMTS::ApplyFormFont(this);
    SetCaptions();
    showAssetName();
    FillList();
    setWindowTitle(MMTS::LoadLangString(DialogTitle) + u" - "_s + MMTS::LoadLangString(u"编辑"_s));
    btSure->setEnabled(true);
    for (QPushButton *unused : {btAdd, btEdit, btDelete, btReset})
        unused->setEnabled(false);
    if (!IsShiftDown())
        RestoreColumnWidths(lvDept, ColumnWidthsSection);
    lvDept->setFocus();
}

void frmDept::SetCaptions()
{
    for (QWidget *control : {static_cast<QWidget *>(btSure), static_cast<QWidget *>(btAdd),
                             static_cast<QWidget *>(btEdit), static_cast<QWidget *>(btDelete),
                             static_cast<QWidget *>(btReset), static_cast<QWidget *>(btClose),
                             static_cast<QWidget *>(lblAssetName)}) {
        localiseCaption(control);
    }
    localiseColumnHeaders(lvDept);
}

void frmDept::showAssetName()
{
    const QString title = MMTS::LoadLangString(DialogTitle);
    const QString text = m_assetName.isEmpty() ? title : m_assetName + u" - "_s + title;
    // The label reaches under the buttons; a long asset name is cut short with an ellipsis so
    // the text ends before them, and the tooltip keeps it whole.
    const QFontMetrics metrics = lblAssetName->fontMetrics();
    const int room = btSure->x() - lblAssetName->x() - metrics.averageCharWidth();
    QString shown = text;
    if (!m_assetName.isEmpty() && metrics.horizontalAdvance(text) > room) {
        const QString suffix = u" - "_s + title;
        shown = metrics.elidedText(m_assetName, Qt::ElideRight,
                                   room - metrics.horizontalAdvance(suffix)) +
                suffix;
    }
    lblAssetName->setText(shown);
    lblAssetName->setToolTip(text);
    // The label above the list names it for assistive technology; a list takes no name from a
    // buddy.
    lvDept->setAccessibleName(text);
}

void frmDept::FillList()
{
    try {
        lvDept->clear();
        if (!m_data)
            return;
        for (qsizetype position = 1; position <= m_data.count(); ++position) {
            const FieldRecord department = m_data.at(position);
            auto *row = new QTreeWidgetItem(lvDept);
            row->setText(0, department.value(Fields::FItemName).toText());
            setRowTag(row, QString::number(position));
            row->setText(1, Rate::text(department.value(Fields::FRate).toDouble()));
        }
        if (lvDept->topLevelItemCount() > 0)
            lvDept->setCurrentItem(lvDept->topLevelItem(0));
    } catch (...) {
        // The rows added so far stay.
    }
}

void frmDept::sortByColumn(int column)
{
    if (column < 0 || column >= m_sortedDescending.size())
        return;
    m_sortedDescending[column] = !m_sortedDescending[column];
    const Qt::SortOrder order =
        m_sortedDescending[column] ? Qt::DescendingOrder : Qt::AscendingOrder;
    lvDept->sortItems(column, order);
    lvDept->header()->setSortIndicatorShown(true);
    lvDept->header()->setSortIndicator(column, order);
}

void frmDept::pickSelected()
{
    try {
        const QList<QTreeWidgetItem *> selected = lvDept->selectedItems();
        if (selected.isEmpty())
            return;
        const qint32 position = FieldValue(numberOrZero(rowTag(selected.first()))).toInt();
        const FieldRecord department = m_data.at(position);
        m_picked = Pick{department.value(Fields::FItemID, qint32(0)).toInt(),
                        department.value(Fields::FItemName, QString()).toText()};
        CurrentDeptID = m_picked->id;
        CurrentDeptName = m_picked->name;
        unloadForm();
    } catch (...) {
        recordCaughtException(objectName());
        reportCurrentError();
    }
}

void frmDept::formKeyDown(qint32 keyCode, const QKeyEvent &)
{
    MMTS::HandleHelpKey(keyCode, MMTS::HelpContextAdjustment, QString(), 0, QString(), 0);
}

} // namespace AllocFix
