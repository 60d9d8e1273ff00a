#pragma once

#include <QString>

// Module state shared by the editors, the validation and its dialog. Unguarded: everything runs
// on the user-interface thread, and only one editor or department dialog is active at a time.
namespace AllocFix {

// The department chosen or loaded last for the expense row being edited.
extern qint32 CurrentDeptID;
extern QString CurrentDeptName;
// The messages of the last validation, one line per fault, each ended by CR LF.
extern QString ValidationText;

void resetAllocationState();

} // namespace AllocFix
