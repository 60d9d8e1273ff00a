#pragma once

#include "allocation/ManualStep.h"
#include "allocation/ManualStepChange.h"
#include "forms/ModalForm.h"
#include "records/FieldRecord.h"
#include "records/RecordList.h"
#include "wizard/WizardControls.h"

#include <QPointer>
#include <QUndoStack>

#include <memory>

class QTreeWidget;

namespace AllocFix {

class frmExpenseEdit;

// The card data adjustment wizard: an introduction, the check-and-adjust page and the manual
// adjustment page, stacked in one place, over a bar of buttons. The form object lives for the
// whole component life; its members outlive each showing, while every showing loads the controls
// anew and starts on the introduction.
//
// The frame is in frmUpdateData.cpp, the check and the automatic adjustment in CardCheck.cpp,
// the manual page's card browser and finish command in CardBrowser.cpp, the commands on the
// card's expense rows in ExpenseCommands.cpp.
class frmUpdateData : public ModalForm {
    Q_OBJECT
    Q_PROPERTY(qint16 CurrentStep READ CurrentStep)
    // The manual step's collections (ManualStep), keyed by card position as decimal text. The
    // getters return the objects themselves: whoever changes them changes the wizard's data.
    Q_PROPERTY(AllocFix::RecordList vecFalterID READ vecFalterID)
    Q_PROPERTY(AllocFix::FieldRecord AllDict READ AllDict)
    Q_PROPERTY(AllocFix::FieldRecord dirtVect READ dirtVect)
    Q_PROPERTY(QString AssetName READ AssetName)
public:
    static constexpr int PageCount = 3;

    frmUpdateData();
    ~frmUpdateData() override;

    // The page reached by Next and Previous: 0 or 1. The manual page is entered by the
    // adjustment itself and leaves it at 1.
    qint16 CurrentStep() const { return m_currentStep; }

    // The cards left for manual work, in the order the card service gave them.
    RecordList vecFalterID() const { return m_step.vecFalterID(); }
    // Each shown card's expense rows. A new manual step starts with a new, empty one, so that
    // the validation and the save see the rows of the current step only.
    FieldRecord AllDict() const { return m_step.AllDict(); }
    // "1" once a card's rows are in AllDict, "0" before.
    FieldRecord dirtVect() const { return m_step.dirtVect(); }
    // The current card's asset name, for the expense editor's department dialog.
    QString AssetName() const { return m_assetName; }

    void SetWizardCaptions();
    void ResetSteps();
    void GoNextStep();
    void GoPrevStep();

    // Runs the check and shows its report. ShowOnly ends the busy state; otherwise the page
    // stays busy for the adjustment that follows. Failures reach the caller.
    void CheckCards(bool ShowOnly);
    // Asks the card service to adjust, then closes the wizard or shows the manual page on the
    // first card left. Handles its own failures.
    void AdjustCards();

    // Opens the card in the host's card viewer; failures go to the error reporter.
    void CardView(qint32 cardId);

    // The loaded controls. Only valid while the form is loaded.
    const WizardControls &controls() const { return *m_ui; }

Q_SIGNALS:
    // The adjustment's outcome, as the host reads it: carried through once nothing is left for
    // manual work or the manual step is saved; not when the adjustment fails.
    void resultDecided(bool carriedThrough);

protected:
    void createControls(QWidget *client) override;
    void formLoad() override;
    void controlsDiscarded() override;
    void controlsGrown() override;

private:
    void showPage(int index);
    void hidePage(int index);
    void connectControls();

    // Page 1
    void checkCommand();
    void adjustCommand();
    void setProgress(const QString &text);
    void showManualPage();

    // Page 2: the three displays of the card at CardPos, always filled together in this order.
    void LoadDeptList(qint32 cardId);
    void LoadExpenseList(qint32 cardId);
    void LoadCardInfo(qint32 cardId);
    void AddDeptRow(QTreeWidget *list, const FieldRecord &department, qsizetype position);
    void AddExpenseRow(QTreeWidget *list, const FieldRecord &row, qsizetype position);
    void goToCard(qint32 position, bool atLimit, const QString &limitMessage);
    void loadCurrentCard();
    static QString positionText(qint32 position);
    void showCurrentPosition();
    void showRateTotals();
    // The bars in the totals line's place when the grown form has the room, else the line.
    void placeSplitDisplay();
    void finishCommand();
    void allocationsSaved();
    void faultCardChosen(qint32 position);

    // Page 2: the commands on the current card's expense rows (ExpenseCommands.cpp)
    void addExpenseCommand();
    void editExpenseCommand();
    void deleteExpenseCommand();
    bool currentRowsLoaded();
    void openExpenseEditor(qint32 mode, qsizetype position);
    void expenseAdded(const FieldRecord &row);
    void expenseModified(const FieldRecord &row);
    void copyAllocationCommand();
    // Each change of the rows is one step of m_undoStack; rowAfterUndo and rowAfterRedo are the
    // rows selected once it is taken back or made again (0: the list's first).
    void pushStepChange(const QString &text, const ManualStepChange &change, qsizetype rowAfterUndo,
                        qsizetype rowAfterRedo);
    // Shows the change's card, if another is shown, then takes the change back or makes it again.
    void showStepChange(const ManualStepChange &change, bool undo, qsizetype selectedRow);
    void createUndoActions();

    std::unique_ptr<WizardControls> m_ui;
    QSize m_pageDesignSize;
    qint16 m_currentStep = 0;

    // Check and adjustment
    FieldRecord CheckResult;
    // Once a check has run, the adjust command does not check again.
    bool CardsChecked = false;
    // Begun afresh by every adjustment; validated and saved by the finish command.
    ManualStep m_step;

    // The card browser
    qint32 CardCount = 0;
    qint32 CardPos = 0;
    qint32 CurFAlterID = 0;
    // The current card's departments, as the card service gave them.
    RecordList CardDepts;
    // Once the card's rows are loaded, the same object as AllDict(CardPos), so the step's row
    // changes show here; until then an empty list of no card.
    RecordList CardExpenses;
    FieldRecord CardRefInfo;
    QString m_assetName;
    // The card the check-and-save dialog's fault list asked for; shown once the dialog is gone.
    qint32 m_faultCard = 0;

    // The expense editor opened last; null once it has closed.
    QPointer<frmExpenseEdit> frmEdit;
    // The position in CardExpenses that the open editor's saves replace: the row it was opened
    // on, or the row its add created (0 until then).
    qsizetype m_editorPosition = 0;
    // The row changes of this manual step, from Ctrl+Z and Ctrl+Y (or Ctrl+Shift+Z); emptied
    // with the controls, when the wizard is cancelled or closes after the save.
    QUndoStack m_undoStack;
};

} // namespace AllocFix
