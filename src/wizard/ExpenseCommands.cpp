// The manual page's commands on the current card's expense rows: add and edit through the expense
// editor, whose saved rows come back through its events, and delete.
#include "allocation/ListViewUtilities.h"
#include "allocation/ReportList.h"
#include "editors/frmExpenseEdit.h"
#include "host/ErrorRecord.h"
#include "host/MessageBox.h"
#include "wizard/frmUpdateData.h"

#include <QTreeWidget>

#include <optional>

namespace AllocFix {

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

void frmUpdateData::addExpenseCommand()
{
    try {
        openExpenseEditor(frmExpenseEdit::ModeAdd, 0);
    } catch (...) {
        showCommandFailure(recordCaughtException().description, this);
    }
}

void frmUpdateData::editExpenseCommand()
{
    try {
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
    if (mode == frmExpenseEdit::ModeEdit) {
        if (!CardExpenses)
            CardExpenses = RecordList::create();
        editor.setData(CardExpenses.at(position));
    }
    connect(&editor, &frmExpenseEdit::DataAdded, this, &frmUpdateData::expenseAdded);
    connect(&editor, &frmExpenseEdit::DataModified, this, &frmUpdateData::expenseModified);
    editor.showModal();
}

void frmUpdateData::deleteExpenseCommand()
{
    try {
        const std::optional<qint32> position = selectedPosition(m_ui->lvExpense);
        if (!position)
            return;
        // No question and no service call: the change stays in memory until the rows are saved.
        RecordList rows = m_step.rows(CardPos);
        rows.remove(*position);
        m_step.storeRows(CardPos, rows);
        LoadExpenseList(CurFAlterID);
    } catch (...) {
        showCommandFailure(recordCaughtException().description, this);
    }
}

void frmUpdateData::expenseAdded(const FieldRecord &row)
{
    try {
        if (!CardExpenses)
            CardExpenses = RecordList::create();
        // A copy: the editor goes on using its own row.
        const FieldRecord stored = row.copy();
        const qsizetype position = CardExpenses.append(stored);
        AddExpenseRow(m_ui->lvExpense, stored, CardExpenses.count());
        m_step.storeRows(CardPos, CardExpenses);
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
        if (!CardExpenses)
            CardExpenses = RecordList::create();
        CardExpenses.replace(position, row.copy());
        m_step.storeRows(CardPos, CardExpenses);
        LoadExpenseList(CurFAlterID);
        SelectItemByTag(m_ui->lvExpense, static_cast<qint32>(position));
    } catch (...) {
        showCommandFailure(recordCaughtException().description, frmEdit);
    }
}

} // namespace AllocFix
