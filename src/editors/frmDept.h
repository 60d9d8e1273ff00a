#pragma once

#include "forms/ModalForm.h"
#include "records/RecordList.h"

#include <QList>

#include <optional>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace AllocFix {

// The department allocation of the card being adjusted, for picking the department of an
// expense row. A pick closes the dialog and is its result; for the host it also sets
// CurrentDeptID and CurrentDeptName, which closing otherwise leaves as they were. Created anew
// for each use:
//
//     frmDept dialog(editor);
//     dialog.setAssetName(name);
//     dialog.setData(departments);   // the dialog works on its own copy
//     dialog.showModal();
//     if (const std::optional<frmDept::Pick> pick = dialog.picked())
//         show(pick->id, pick->name);
class frmDept : public ModalForm {
    Q_OBJECT
public:
    static inline const QString ColumnWidthsSection = QStringLiteral("DeptList");

    struct Pick {
        qint32 id = 0;
        QString name;
    };

    explicit frmDept(QWidget *owner = nullptr);
    ~frmDept() override;

    // Kept without its leading and trailing spaces.
    void setAssetName(const QString &name);
    // Keeps a copy of the list (CloneRecordList); the opener's list is never read again.
    void setData(const RecordList &departments);
    // The department picked, none when the dialog was closed otherwise.
    std::optional<Pick> picked() const { return m_picked; }

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
    std::optional<Pick> m_picked;

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
