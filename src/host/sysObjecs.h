#pragma once

class QObject;

// The account lookup objects, created on first use and shared by every caller until the
// component unloads. Creation failures reach the caller; the next call tries again.
namespace AllocFix::sysObjecs {

// "TamGLView.GLData": account data. The module keeps ownership.
QObject *GetGLData();
// "TamGLView.GLView": the account and item lookup dialogs. The module keeps ownership.
QObject *GetGLView();

void resetModuleState();

} // namespace AllocFix::sysObjecs
