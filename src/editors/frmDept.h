#pragma once

#include "forms/ModalForm.h"
#include "records/RecordList.h"

#include <QList>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace AllocFix {

// The department allocation of the card being adjusted, for picking the department of an
// expense row. A pick sets CurrentDeptID and CurrentDeptName and closes; closing otherwise
// leaves them as they were. Created anew for each use:
//
//     frmDept dialog(editor);
//     dialog.setAssetName(name);
//     dialog.setData(departments);   // the dialog works on its own copy
//     dialog.showModal();
class frmDept : public ModalForm {
    Q_OBJECT
public:
    static inline const QString ColumnWidthsSection = QStringLiteral("DeptList");

    explicit frmDept(QWidget *owner = nullptr);
    ~frmDept() override;

    // Kept without its leading and trailing spaces.
    void setAssetName(const QString &name);
    // Keeps a copy of the list (CloneRecordList); the opener's list is never read again.
    void setData(const RecordList &departments);

protected:
    void createControls(QWidget *client) override;
    void formLoad() override;
    void controlsDiscarded() override;
    void formKeyDown(qint32 keyCode, const QKeyEvent &event) override;

private:
    void SetCaptions();
    void showAssetName();
    void FillList();
    void sortByColumn(int column);
    void pickSelected();

    QString m_assetName;
    RecordList m_data;

    QLabel *lblAssetName = nullptr;
    QTreeWidget *lvDept = nullptr;
    QPushButton *btSure = nullptr;
    QPushButton *btAdd = nullptr;
    QPushButton *btEdit = nullptr;
    QPushButton *btDelete = nullptr;
    QPushButton *btReset = nullptr;
    QPushButton *btClose = nullptr;
    // Per column: the next click sorts descending while false, ascending while true.
    QList<bool> m_sortedDescending;
};

} // namespace AllocFix
