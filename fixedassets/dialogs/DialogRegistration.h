#pragma once

#include "fixedassets_export.h"

namespace FixedAssets {

// Registers the host's objects that show dialogs (the account and item lookups, the card viewer,
// the help tool, the error reporter's message box) in AllocFix::ObjectRegistry, replacing what was
// registered under the same ProgIDs. Call it beside registerHostServices() wherever the component
// may show them.
FIXEDASSETS_EXPORT void registerHostDialogs();

} // namespace FixedAssets
