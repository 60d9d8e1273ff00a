#pragma once

#include <QStringList>

namespace FixedAssets {
class AccountSet;
}

namespace FixedAssets::Testing {

// Every row of every table of the account set as text, in a fixed order: two dumps are equal
// exactly when the data is. The audit log's time (and its hashes, which cover it) is left out, so
// that the same change made at another moment dumps the same.
QStringList dumpAccountSet(const AccountSet &set);

} // namespace FixedAssets::Testing
