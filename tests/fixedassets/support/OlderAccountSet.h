#pragma once

#include <QString>

#include <functional>

namespace FixedAssets {
class AccountSet;
}

namespace FixedAssets::Testing {

// What an older program left at location: the schema of that version with the demo reference
// data, cardCount demo cards and what addMore adds. Closes it again, so the next open upgrades
// it.
void createOlderAccountSet(const QString &location, int version, int cardCount,
                           const std::function<void(const AccountSet &)> &addMore = {});

} // namespace FixedAssets::Testing
