#pragma once

#include "accountset/AccountSetLocation.h"

namespace FixedAssets {

// Whether the demo account set may be built at location, replacing what is there. Nothing, an
// empty database and a demo set this program made may be replaced; any other account set only
// when replaceAccountSet is true; a database of anything else never. Raises Failure
// (AccountSetError::Occupied, or CannotOpen for a server it cannot reach) with one line that says
// why not. It only reads: the location stays as it was.
void checkDemoTarget(const AccountSetLocation &location, bool replaceAccountSet);

} // namespace FixedAssets
