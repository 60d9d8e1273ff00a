// The manual page's commands on the current card's expense rows: add and edit through the expense
// editor, whose saved rows come back through its events, and delete.
#include "allocation/ListViewUtilities.h"
#include "allocation/ReportList.h"
#include "editors/frmExpenseEdit.h"
#include "host/ErrorRecord.h"
#include "host/MMTS.h"
#include "host/MessageBox.h"
#include "wizard/frmUpdateData.h"

#include <QTreeWidget>

#include <optional>

namespace AllocFix {

using namespace Qt::StringLiterals;

namespace {

// The position that the selected row of the list shows; none without a selected row.
std::optional<qint32> selectedPosition(const QTreeWidget *list)
{
    const QList<QTreeWidgetItem *> selected = list->selectedItems();
    if (selected.isEmpty())
        return std::nullopt;
    return FieldValue(numberOrZero(rowTag(selected.first()))).toInt();
}

} // namespace

// A card whose rows did not load has nothing to change: a row added to it would have no list
// of its own to go to. Moving to the card again loads them again.
bool frmUpdateData::currentRowsLoaded()
{
    if (m_step.isLoaded(CardPos))
        return true;
    showInputFault(
        MMTS::LoadLangString(
            u"当前卡片的折旧费用分配信息未能读取，不能修改！重新定位到该卡片即可再次读取。"_s),
        this);
    return false;
}

void frmUpdateData::addExpenseCommand()
{
    try {
        if (currentRowsLoaded())
            openExpenseEditor(frmExpenseEdit::ModeAdd, 0);
    } catch (...) {
        showCommandFailure(recordCaughtException().description, this);
    }
}

void frmUpdateData::editExpenseCommand()
{
    try {
        if (!currentRowsLoaded())
            return;
        if (const std::optional<qint32> position = selectedPosition(m_ui->lvExpense))
            openExpenseEditor(frmExpenseEdit::ModeEdit, *position);
    } catch (...) {
        showCommandFailure(recordCaughtException().description, this);
    }
}

void frmUpdateData::openExpenseEditor(qint32 mode, qsizetype position)
{
    frmExpenseEdit editor(this);
    frmEdit = &editor;
    m_editorPosition = position;
    editor.setCurrentFAlterID(CurFAlterID);
    editor.setDepData(CardDepts);
    editor.setAssetName(m_assetName);
    editor.setEditMode(mode);
    if (mode == frmExpenseEdit::ModeEdit)
        editor.setData(CardExpenses.at(position));
    connect(&editor, &frmExpenseEdit::DataAdded, this, &frmUpdateData::expenseAdded);
    connect(&editor, &frmExpenseEdit::DataModified, this, &frmUpdateData::expenseModified);
    editor.showModal();
}

void frmUpdateData::deleteExpenseCommand()
{
    try {
        if (!currentRowsLoaded())
            return;
        const std::optional<qint32> position = selectedPosition(m_ui->lvExpense);
        if (!position)
            return;
        // No question and no service call: the change stays in memory until the rows are saved.
        m_step.removeRow(CardPos, *position);
        LoadExpenseList(CurFAlterID);
    } catch (...) {
        showCommandFailure(recordCaughtException().description, this);
    }
}

void frmUpdateData::expenseAdded(const FieldRecord &row)
{
    try {
        // A copy: the editor goes on using its own row.
        const FieldRecord stored = row.copy();
        const qsizetype position = m_step.appendRow(CardPos, stored);
        AddExpenseRow(m_ui->lvExpense, stored, position);
        // The editor stays open in edit mode; its next save changes this row, not the selected
        // one, which the add leaves as it was.
        m_editorPosition = position;
    } catch (...) {
        showCommandFailure(recordCaughtException().description, frmEdit);
    }
}

void frmUpdateData::expenseModified(const FieldRecord &row)
{
    try {
        const qsizetype position = m_editorPosition;
        if (position == 0)
            return;
        m_step.replaceRow(CardPos, position, row.copy());
        LoadExpenseList(CurFAlterID);
        SelectItemByTag(m_ui->lvExpense, static_cast<qint32>(position));
    } catch (...) {
        showCommandFailure(recordCaughtException().description, frmEdit);
    }
}

} // namespace AllocFix
