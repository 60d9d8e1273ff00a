#pragma once

#include "host/ModalForm.h"
#include "wizard/WizardControls.h"

#include <memory>

namespace AllocFix {

// The card data adjustment wizard: an introduction, the check-and-adjust page and the manual
// adjustment page, stacked in one place, over a bar of buttons. The form object lives for the
// whole component life (UpdatePublic::wizardForm()); its members outlive each showing, while
// every showing loads the controls anew and starts on the introduction.
class frmUpdateData : public ModalForm {
    Q_OBJECT
    Q_PROPERTY(qint16 CurrentStep READ CurrentStep)
public:
    static constexpr int PageCount = 3;

    frmUpdateData();
    ~frmUpdateData() override;

    // The page reached by Next and Previous: 0 or 1. The manual page is entered by the
    // adjustment itself and leaves it at 1.
    qint16 CurrentStep() const { return m_currentStep; }

    void SetWizardCaptions();
    void ResetSteps();
    void GoNextStep();
    void GoPrevStep();

    // The loaded controls. Only valid while the form is loaded.
    const WizardControls &controls() const { return *m_ui; }

protected:
    void createControls(QWidget *client) override;
    void formLoad() override;
    void controlsDiscarded() override;

private:
    void showPage(int index);
    void hidePage(int index);
    void connectControls();

    std::unique_ptr<WizardControls> m_ui;
    qint16 m_currentStep = 0;
};

} // namespace AllocFix
