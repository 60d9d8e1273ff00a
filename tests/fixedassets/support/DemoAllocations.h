#pragma once

#include "allocation/FieldRecord.h"

namespace FixedAssets {
class AccountSet;
}

namespace FixedAssets::Testing {

// A save of every card waiting for manual adjustment, keyed by queue position, as a user makes
// it on the demo data: each of a card's departments gets one row with the account and items of
// the card's first legacy row, the department as its department item, rate 1.
AllocFix::FieldRecord allocationsForQueue(const AccountSet &set);

} // namespace FixedAssets::Testing
