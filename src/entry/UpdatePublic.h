#pragma once

namespace AllocFix {

class frmUpdateData;

namespace UpdatePublic {

// The wizard form, created on first use and kept for the life of the component; its members
// outlive each showing. The outcome it decides becomes UpdateResultFlag.
frmUpdateData &wizardForm();
// Shows the wizard modally, without an owner; returns once it has been unloaded.
void ShowWizardForm();

void resetModuleState();

} // namespace UpdatePublic
} // namespace AllocFix
