// The manual page's commands on the current card's expense rows: add and edit through the expense
// editor, whose saved rows come back through its events, delete, and the copy of all of them to
// the cards allocated alike; each change is one step that Ctrl+Z takes back and Ctrl+Y makes again.
#include "allocation/AllocationCopy.h"
#include "editors/frmExpenseEdit.h"
#include "forms/Hourglass.h"
#include "host/ErrorRecord.h"
#include "host/MMTS.h"
#include "host/MessageBox.h"
#include "widgets/ListViewUtilities.h"
#include "widgets/ReportList.h"
#include "widgets/SplitBars.h"
#include "wizard/frmCopyAllocation.h"
#include "wizard/frmUpdateData.h"

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QTreeWidget>
#include <QUndoCommand>

#include <functional>
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

// How often the search for cards to copy to repaints its progress, in cards.
constexpr qsizetype ProgressEvery = 250;

// A change already made when it is pushed: the stack's first redo has nothing to do.
class RowsCommand final : public QUndoCommand {
public:
    using Show = std::function<void(const ManualStepChange &, bool undo, qsizetype row)>;

    RowsCommand(const QString &text, const ManualStepChange &change, qsizetype rowAfterUndo,
                qsizetype rowAfterRedo, Show show)
        : QUndoCommand(text)
        , m_change(change)
        , m_rowAfterUndo(rowAfterUndo)
        , m_rowAfterRedo(rowAfterRedo)
        , m_show(std::move(show))
    {}

    void undo() override { m_show(m_change, true, m_rowAfterUndo); }
    void redo() override
    {
        if (std::exchange(m_made, false))
            return;
        m_show(m_change, false, m_rowAfterRedo);
    }

private:
    ManualStepChange m_change;
    qsizetype m_rowAfterUndo = 0;
    qsizetype m_rowAfterRedo = 0;
    Show m_show;
    bool m_made = true;
};

} // namespace

// A card whose rows did not load has nothing to change: a row added to it would have no list
// of its own to go to. Moving to the card again loads them again; with a single card there is
// nowhere to move, so the user is offered to read it again here.
bool frmUpdateData::currentRowsLoaded()
{
    if (m_step.isLoaded(CardPos))
        return true;
    if (CardCount > 1) {
        showInputFault(
            MMTS::LoadLangString(
                u"当前卡片的折旧费用分配信息未能读取，不能修改！重新定位到该卡片即可再次读取。"_s),
            this);
        return false;
    }
    const MessageAnswer answer = showMessage(
        {MMTS::LoadLangString(
             u"当前卡片的折旧费用分配信息未能读取，不能修改！是否重新读取该卡片？"_s),
         MessageButtons::YesNo, MessageIcon::Question, MMTS::LoadLangString(u"岚岫提示"_s), this});
    if (answer == MessageAnswer::Yes)
        loadCurrentCard();
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

// With no row selected (a card whose rows did not load shows none), edit and delete do nothing.
void frmUpdateData::editExpenseCommand()
{
    try {
        const std::optional<qint32> position = selectedPosition(m_ui->lvExpense);
        if (position && currentRowsLoaded())
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
        const std::optional<qint32> position = selectedPosition(m_ui->lvExpense);
        if (!position || !currentRowsLoaded())
            return;
        // No question and no service call: the change stays in memory until the rows are saved.
        ManualStepChange change(m_step, CardPos);
        m_step.removeRow(CardPos, *position);
        change.recordResult(m_step);
        LoadExpenseList(CurFAlterID);
        pushStepChange(u"删除折旧费用分配"_s, change, *position, 0);
    } catch (...) {
        showCommandFailure(recordCaughtException().description, this);
    }
}

void frmUpdateData::expenseAdded(const FieldRecord &row)
{
    try {
        // A copy: the editor goes on using its own row.
        const FieldRecord stored = row.copy();
        ManualStepChange change(m_step, CardPos);
        const qsizetype position = m_step.appendRow(CardPos, stored);
        change.recordResult(m_step);
        AddExpenseRow(m_ui->lvExpense, stored, position);
        showRateTotals();
        pushStepChange(u"增加折旧费用分配"_s, change, 0, position);
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
        ManualStepChange change(m_step, CardPos);
        m_step.replaceRow(CardPos, position, row.copy());
        change.recordResult(m_step);
        LoadExpenseList(CurFAlterID);
        SelectItemByTag(m_ui->lvExpense, static_cast<qint32>(position));
        pushStepChange(u"修改折旧费用分配"_s, change, position, position);
    } catch (...) {
        showCommandFailure(recordCaughtException().description, frmEdit);
    }
}

// Looks for the cards allocated alike (one service call or two per card, so the page says how
// far it has got), lists them, and copies once the user agrees. The copies are plain rows of
// those cards: checked at the finish and changed card by card like any other.
void frmUpdateData::copyAllocationCommand()
{
    try {
        if (!currentRowsLoaded())
            return;
        if (CardExpenses.count() == 0) {
            showInputFault(
                MMTS::LoadLangString(u"当前卡片还没有折旧费用分配，没有可以复制的内容。"_s), this);
            return;
        }
        AllocationCopy copy;
        {
            const Hourglass wait;
            const QString looking = MMTS::LoadLangString(u"正在查找部门和原科目相同的卡片："_s);
            copy = findAllocationCopy(m_step, CardPos, [&](qsizetype done, qsizetype total) {
                if (done % ProgressEvery != 0 && done != total)
                    return;
                const QString text =
                    looking + u' ' + QString::number(done) + u" / "_s + QString::number(total);
                // The line says it, in the bars' place too: a grown page shows it there.
                m_ui->lblRateTotals->setText(text.toHtmlEscaped());
                m_ui->splitBars->setVisible(false);
                m_ui->lblRateTotals->setVisible(true);
                QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            });
        }
        showRateTotals();
        if (copy.targets.isEmpty() && copy.unreadable.isEmpty()) {
            showInputFault(MMTS::LoadLangString(u"没有其他卡片的部门和原科目与当前卡片相同。"_s),
                           this);
            return;
        }
        frmCopyAllocation dialog(this);
        dialog.setCopy(copy);
        dialog.showModal();
        if (!dialog.confirmed())
            return;
        // However many cards it changes, the copy is one step.
        QList<qsizetype> targets;
        for (const AllocationCopy::Target &target : std::as_const(copy.targets))
            targets.append(target.position);
        ManualStepChange change(m_step, CardPos, targets);
        applyAllocationCopy(m_step, copy);
        change.recordResult(m_step);
        pushStepChange(u"复制折旧费用分配"_s, change, 0, 0);
    } catch (...) {
        showRateTotals();
        showCommandFailure(recordCaughtException().description, this);
    }
}

void frmUpdateData::createUndoActions()
{
    QAction *undo = m_undoStack.createUndoAction(this);
    undo->setShortcuts(QKeySequence::Undo);
    QAction *redo = m_undoStack.createRedoAction(this);
    // Both, whatever the platform's custom: users of other programs expect either.
    redo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    addActions({undo, redo});
}

void frmUpdateData::pushStepChange(const QString &text, const ManualStepChange &change,
                                   qsizetype rowAfterUndo, qsizetype rowAfterRedo)
{
    m_undoStack.push(new RowsCommand(MMTS::LoadLangString(text), change, rowAfterUndo, rowAfterRedo,
                                     [this](const ManualStepChange &made, bool undo,
                                            qsizetype row) { showStepChange(made, undo, row); }));
}

// Runs from the undo and redo shortcuts, inside the event loop: nothing may escape.
void frmUpdateData::showStepChange(const ManualStepChange &change, bool undo, qsizetype selectedRow)
{
    try {
        // The user sees what is taken back or made again: on its own card.
        if (change.card() != CardPos)
            goToCard(static_cast<qint32>(change.card()), false, {});
        if (undo)
            change.undo(m_step);
        else
            change.redo(m_step);
        LoadExpenseList(CurFAlterID);
        if (selectedRow > 0)
            SelectItemByTag(m_ui->lvExpense, static_cast<qint32>(selectedRow));
    } catch (...) {
        showCommandFailure(recordCaughtException().description, this);
    }
}

} // namespace AllocFix
