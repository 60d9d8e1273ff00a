// The manual adjustment page: one card at a time with its reference data, department allocation
// and expense rows, the card navigation, the card viewer and the finish command.
#include "allocation/AllocationRules.h"
#include "allocation/AllocationTexts.h"
#include "allocation/Rate.h"
#include "contracts/CardServices.h"
#include "contracts/ErrorReporter.h"
#include "host/ErrorRecord.h"
#include "host/MMTS.h"
#include "host/MessageBox.h"
#include "host/ObjectRegistry.h"
#include "host/ProgIds.h"
#include "records/RecordFields.h"
#include "widgets/ReportList.h"
#include "wizard/RateTotalsLine.h"
#include "wizard/frmShowInf.h"
#include "wizard/frmUpdateData.h"

#include <QCoreApplication>
#include <QLabel>
#include <QListWidget>
#include <QTreeWidget>

#include <utility>

using namespace Qt::StringLiterals;

namespace AllocFix {

namespace {

void reportCaughtError()
{
    recordCaughtException();
    reportCurrentError();
}

} // namespace

void frmUpdateData::LoadDeptList(qint32 cardId)
{
    QTreeWidget *list = m_ui->lvDept;
    list->clear();
    try {
        CardDepts = RecordList::create();
        const auto cardInfo = createService<ICardInfo>(ProgId::CardInfo);
        CardDepts = cardInfo->GetDept(MMTS::GetPropsString(), cardId);
        for (qsizetype position = 1; position <= CardDepts.count(); ++position)
            AddDeptRow(list, CardDepts.at(position), position);
    } catch (...) {
        // No departments at all rather than some: the totals line would weigh the rows against
        // the wrong list.
        CardDepts = RecordList();
        list->clear();
        reportCaughtError();
    }
}

void frmUpdateData::LoadExpenseList(qint32 cardId)
{
    QTreeWidget *list = m_ui->lvExpense;
    list->clear();
    // Never the previous card's list: rows that fail to load leave the card empty and unloaded.
    CardExpenses = RecordList::create();
    try {
        if (!m_step.isLoaded(CardPos)) {
            const auto cardInfo = createService<ICardInfo>(ProgId::CardInfo);
            m_step.loadRows(CardPos, cardInfo->GetExpense(MMTS::GetPropsString(), cardId));
        }
        // Shown before: the rows as last edited, not as the service has them.
        CardExpenses = m_step.rows(CardPos);
        for (qsizetype position = 1; position <= CardExpenses.count(); ++position)
            AddExpenseRow(list, CardExpenses.at(position), position);
        if (list->topLevelItemCount() > 0)
            list->setCurrentItem(list->topLevelItem(0));
    } catch (...) {
        reportCaughtError();
    }
    showRateTotals();
}

// Read by the rules the finish check and the save apply, so that black here is what they accept.
void frmUpdateData::showRateTotals()
{
    CardTotals totals;
    try {
        if (m_step.isLoaded(CardPos) && CardDepts)
            totals = cardTotals(CardDepts, CardExpenses);
    } catch (...) {
        // Rows that cannot be read have no totals.
        totals = {};
    }
    fillRateTotalsLine(m_ui->lblRateTotals, totals);
    fillSplitBars(m_ui->splitBars, totals);
    // The list gets back the height the bars of the last card took.
    anchors().apply(anchors().growth());
    placeSplitDisplay();
}

void frmUpdateData::LoadCardInfo(qint32 cardId)
{
    QListWidget *list = m_ui->listInfo;
    list->clear();
    // A failure below must not leave the previous card's name for the department dialog.
    m_assetName.clear();
    try {
        CardRefInfo = FieldRecord::create();
        const auto cardInfo = createService<ICardInfo>(ProgId::CardInfo);
        CardRefInfo = cardInfo->GetCardInf(MMTS::GetPropsString(), cardId);
        list->addItem(MMTS::LoadLangString(u"入账日期："_s) +
                      CardRefInfo.value(Fields::FDate).toText());
        m_assetName = CardRefInfo.value(Fields::FAssetName).toText();
        list->addItem(MMTS::LoadLangString(u"资产名称： "_s) + m_assetName);
        list->addItem(MMTS::LoadLangString(u"资产编码： "_s) +
                      CardRefInfo.value(Fields::FAssetNumber).toText());
    } catch (...) {
        reportCaughtError();
    }
}

void frmUpdateData::AddDeptRow(QTreeWidget *list, const FieldRecord &department, qsizetype position)
{
    auto *row = new QTreeWidgetItem(list);
    row->setText(0, department.value(Fields::FItemName).toText());
    row->setText(1, Rate::text(department.value(Fields::FRate).toDouble()));
    setRowTag(row, QString::number(position));
}

void frmUpdateData::AddExpenseRow(QTreeWidget *list, const FieldRecord &row, qsizetype position)
{
    // The row and its tag come first: a row whose texts fail stays visible and can be edited.
    auto *item = new QTreeWidgetItem(list);
    setRowTag(item, QString::number(position));
    try {
        item->setText(0, AllocationTexts::DepartmentName(row.value(Fields::FDeptID).toInt()));
        item->setText(1, row.value(Fields::FAcctNumber).toText() + u" - "_s +
                             row.value(Fields::FAcctName).toText());
        item->setText(2, AllocationTexts::ItemListText(row.value(Fields::Detail).toList()));
        item->setText(3, Rate::text(row.value(Fields::FRate).toDouble()));
        // Account and item texts are often wider than their columns.
        item->setToolTip(1, item->text(1));
        item->setToolTip(2, item->text(2));
    } catch (...) {
        // The row stays as far as it got.
    }
}

void frmUpdateData::loadCurrentCard()
{
    LoadDeptList(CurFAlterID);
    LoadExpenseList(CurFAlterID);
    LoadCardInfo(CurFAlterID);
}

QString frmUpdateData::positionText(qint32 position)
{
    return MMTS::LoadLangString(u"当前第 "_s) + QString::number(position) +
           MMTS::LoadLangString(u" 张"_s);
}

void frmUpdateData::showCurrentPosition()
{
    m_ui->lblCurrent->setText(positionText(CardPos));
}

void frmUpdateData::goToCard(qint32 position, bool atLimit, const QString &limitMessage)
{
    try {
        if (atLimit) {
            showMessage({MMTS::LoadLangString(limitMessage), MessageButtons::Ok,
                         MessageIcon::Information, MMTS::LoadLangString(u"岚岫提示！"_s), this});
            return;
        }
        // Nothing is saved or checked when leaving a card: its rows stay in AllDict.
        CardPos = position;
        CurFAlterID = m_step.cardId(CardPos);
        loadCurrentCard();
        showCurrentPosition();
    } catch (...) {
        reportCaughtError();
    }
}

void frmUpdateData::finishCommand()
{
    try {
        // The dialog checks and saves the step, then closes itself and the wizard.
        frmShowInf &dialog = checkAndSaveForm();
        connect(&dialog, &frmShowInf::Saved, this, &frmUpdateData::allocationsSaved,
                Qt::UniqueConnection);
        connect(&dialog, &frmShowInf::FaultCardChosen, this, &frmUpdateData::faultCardChosen,
                Qt::UniqueConnection);
        m_faultCard = 0;
        dialog.showModalFor(*this, m_step);
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    } catch (...) {
        showCommandFailure(recordCaughtException().description, this);
    }
    // Shown as a visit shows it, once the dialog has gone.
    if (m_faultCard > 0 && isLoaded())
        goToCard(std::exchange(m_faultCard, 0), false, {});
}

void frmUpdateData::faultCardChosen(qint32 position)
{
    m_faultCard = position;
}

void frmUpdateData::allocationsSaved()
{
    Q_EMIT resultDecided(true);
}

void frmUpdateData::CardView(qint32 cardId)
{
    try {
        FieldRecord detail;
        {
            const auto cardInfo = createService<ICardInfo>(ProgId::CardInfo);
            detail = cardInfo->GetDetail(MMTS::GetPropsString(), cardId);
        }
        const auto viewer = createService<ICardViewer>(ProgId::CardShow);
        viewer->setViewJudge(true);
        viewer->setWantEditFromView(2);
        viewer->setDataView(detail);
        viewer->ShowCard();
    } catch (...) {
        reportCaughtError();
    }
}

} // namespace AllocFix
