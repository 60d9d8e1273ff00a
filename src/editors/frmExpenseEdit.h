#pragma once

#include "editors/ExpenseEditControls.h"
#include "forms/ModalForm.h"
#include "records/FieldRecord.h"
#include "records/RecordList.h"
#include "widgets/CodeField.h"

#include <QPair>
#include <QTimer>

#include <memory>

namespace AllocFix {

// Creates or changes one expense allocation row of the current card. The opener creates a new
// editor for each use, sets its members and shows it modally; every saved row comes back through
// DataAdded or DataModified, raised synchronously while the editor stays open:
//
//     frmExpenseEdit editor(wizard);
//     editor.setDepData(departments);
//     editor.setAssetName(assetName);
//     editor.setCurrentFAlterID(cardId);
//     editor.setEditMode(frmExpenseEdit::ModeEdit);
//     editor.setData(row);                       // edit and view mode only
//     connect(&editor, &frmExpenseEdit::DataModified, ...);
//     editor.showModal();
//
// The editor goes on using the row it raises (it becomes its base row after a save), so a
// receiver keeps a copy.
class frmExpenseEdit : public ModalForm {
    Q_OBJECT
    Q_PROPERTY(qint32 EditMode READ EditMode WRITE setEditMode)
    Q_PROPERTY(qint32 CurrentFAlterID READ CurrentFAlterID WRITE setCurrentFAlterID)
public:
    static constexpr qint32 ModeAdd = 1;
    static constexpr qint32 ModeView = 2;
    static constexpr qint32 ModeEdit = 3;

    explicit frmExpenseEdit(QWidget *owner = nullptr);
    ~frmExpenseEdit() override;

    // The card's department allocation, shared with the opener; handed to the department dialog.
    void setDepData(const RecordList &departments) { m_depData = departments; }
    // The card's asset name, for the department dialog's heading.
    void setAssetName(const QString &name) { m_assetName = name; }
    qint32 CurrentFAlterID() const { return m_currentFAlterID; }
    void setCurrentFAlterID(qint32 cardId) { m_currentFAlterID = cardId; }
    // Set before the editor is shown; a later change only affects what save and close do.
    qint32 EditMode() const { return m_editMode; }
    void setEditMode(qint32 mode) { m_editMode = mode; }
    // The working row itself, not a copy.
    FieldRecord Data() const { return m_workingRow; }
    // The given row becomes the base row and a copy of it the working row; the controls are not
    // refreshed.
    void setData(const FieldRecord &row);

Q_SIGNALS:
    void DataAdded(const AllocFix::FieldRecord &row);
    void DataModified(const AllocFix::FieldRecord &row);

protected:
    void createControls(QWidget *client) override;
    void formLoad() override;
    void controlsDiscarded() override;
    void formKeyDown(qint32 keyCode, const QKeyEvent &event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Each time the editor becomes active, the department field has the focus.
    void changeEvent(QEvent *event) override;
    // Every close request (btClose, Esc, the close box) passes here.
    void done(int result) override;

private:
    void SetCaptions();
    void ShowModeCaption();
    void ClearControls();
    void ShowRow();
    void LockControls(bool lock);
    void CollectRow();
    bool CheckInput();
    bool RowChanged() const;
    void RefillItemGrid(qint32 accountId, const RecordList &items);
    void save();
    bool mayClose();
    void raiseSaved();

    // Department, account and item entry
    CodeField accountField() const;
    void pickDepartment();
    void accountFocusIn(Qt::FocusReason reason);
    void accountFocusOut(Qt::FocusReason reason);
    void returnToAccount();
    bool validateAccount();
    void lookupAccount();
    void chooseItem(qint32 action, qint32 &row, qint32 column, qint32 value);

    RecordList m_depData;
    QString m_assetName;
    qint32 m_currentFAlterID = 0;
    qint32 m_editMode = ModeAdd;
    FieldRecord m_baseRow;
    FieldRecord m_workingRow;
    qint32 m_lastAccountID = 0;

    std::unique_ptr<ExpenseEditControls> m_ui;
    // Set from a refused code until the focus is back in the account field, so that the return
    // is no new visit of the field.
    bool m_keepingAccountFocus = false;
    // The selection (start, length) the refused code left in the field.
    QPair<int, int> m_keptSelection;
    QTimer m_returnToAccount;
    // The click that tried to leave the account field with a refused code must not act.
    bool m_swallowClick = false;
    // Set while a window the editor opened (a message, the department dialog, a lookup) is over
    // it: the command that opened it puts the focus where its step says once it has closed.
    bool m_coveredByOwnWindow = false;
};

} // namespace AllocFix
