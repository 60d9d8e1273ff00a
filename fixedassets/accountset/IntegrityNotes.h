#pragma once

#include "accountset/SqlDialect.h"

namespace FixedAssets::IntegrityNotes {

// What the whole-file integrity check has seen, kept between processes so that opening a set
// costs what changed since, not what is there. A note holds the storage's look
// (SqlDialect::storageLook) when it was last known whole: checked, or written since by this
// program alone. It lives in the user's cache folder, one small file per set, and not in the set
// itself: writing it there would move the very look it records. A lost or garbled note costs one
// check, never a skipped one.

// Whether the set at location was last known whole as it looks now.
bool knownWhole(const AccountSetLocation &location, const SqlDialect::StorageLook &look);

// Notes that the set at location is whole as it looks (nothing for a look without a state). A
// write in the same tick of the clock as the look's latest change could leave the same look, so
// this first waits until the clock has passed it (a few milliseconds at most), and notes nothing
// when the set has moved meanwhile.
void rememberWhole(const SqlDialect &dialect, const AccountSetLocation &location,
                   const SqlDialect::StorageLook &look);

// Removes the note of a set that is no more, and the cache folders left empty by it.
void forget(const AccountSetLocation &location);

} // namespace FixedAssets::IntegrityNotes
