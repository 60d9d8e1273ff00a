#pragma once

#include "allocation/AllocationCopy.h"
#include "forms/ModalForm.h"

class QLabel;
class QPushButton;
class QTreeWidget;

namespace AllocFix {

// Asks before a card's allocation is copied: how many cards the copy changes, which ones (their
// position, asset number and name), and which cards could not be read and stay as they are.
// Created anew for each use:
//
//     frmCopyAllocation dialog(wizard);
//     dialog.setCopy(copy);
//     dialog.showModal();
//     if (dialog.confirmed()) ...
class frmCopyAllocation : public ModalForm {
    Q_OBJECT
public:
    explicit frmCopyAllocation(QWidget *owner = nullptr);
    ~frmCopyAllocation() override;

    void setCopy(const AllocationCopy &copy) { m_copy = copy; }
    // Whether the user chose to copy; false until then.
    bool confirmed() const { return m_confirmed; }

protected:
    void createControls(QWidget *client) override;
    void formLoad() override;
    void controlsDiscarded() override;
    void formKeyDown(qint32 keyCode, const QKeyEvent &event) override;

private:
    void fillList();
    void showUnreadable();

    AllocationCopy m_copy;
    bool m_confirmed = false;

    QLabel *lblCopyInfo = nullptr;
    QLabel *lblCount = nullptr;
    QTreeWidget *lvCards = nullptr;
    QLabel *lblUnreadable = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;
};

} // namespace AllocFix
