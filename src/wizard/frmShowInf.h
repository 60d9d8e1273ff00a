#pragma once

#include "allocation/Validation.h"
#include "forms/ModalForm.h"

#include <QPointer>

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace AllocFix {

class ManualStep;

// The check-and-save dialog. Once shown and active, it validates every card of the wizard's
// manual step in a small borderless progress window; when all is valid it saves, raises Saved
// and closes itself and the wizard. Otherwise it grows into a result window that lists the
// faults, and the wizard stays open for corrections. A double-click on a fault line that names a
// card closes it and raises FaultCardChosen.
class frmShowInf : public ModalForm {
    Q_OBJECT
public:
    frmShowInf();
    ~frmShowInf() override;

    // Shows the dialog modally, without an owner, on the wizard's step; returns once it is
    // unloaded. Both are used only while it is shown.
    void showModalFor(ModalForm &wizard, const ManualStep &step);

Q_SIGNALS:
    // The step is saved; raised before the dialog and the wizard close.
    void Saved();
    // The user asked to see the card at this position of the step; raised once the dialog has
    // been told to close.
    void FaultCardChosen(qint32 position);

protected:
    void createControls(QWidget *client) override;
    void formLoad() override;
    void controlsDiscarded() override;
    void formKeyDown(qint32 keyCode, const QKeyEvent &event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void checkAndSave();
    void showProgressLayout();
    void showResultLayout();
    void setClientSize(int width, int height);
    void setBorder(bool on);
    void moveByOffsets(int count);
    void setProgressText(const QString &text);
    void showCheckProgress(qsizetype done, qsizetype total);
    bool chooseFaultCard(QPoint at);

    QLabel *labInf = nullptr;
    // How far the check has got: at 200,000 cards it takes a while.
    QProgressBar *pbCheck = nullptr;
    QLabel *Label1 = nullptr;
    QPlainTextEdit *expInfo = nullptr;
    QPushButton *cmdSure = nullptr;
    // Set at load: the work runs at the first activation of each showing, not at later ones.
    bool m_checkPending = false;
    bool m_saved = false;
    QPoint m_shownAt;
    const ManualStep *m_step = nullptr;
    // The faults of the last check, one per line of expInfo.
    ValidationFaults m_faults;
    QPointer<ModalForm> m_wizard;
};

// The one check-and-save dialog of the component, created on first use.
frmShowInf &checkAndSaveForm();
void resetCheckAndSaveForm();

} // namespace AllocFix
