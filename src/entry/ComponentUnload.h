#pragma once

namespace AllocFix {

// Clears all module state, as when the host unloads the component: the result flag, the
// hourglass count, the wizard and check forms, the cached outside objects and the shared
// allocation state. Runs by itself when the application object is destroyed; tests call it to
// start clean. Every module with state of its own adds its reset here.
void unloadComponent();

} // namespace AllocFix
