#pragma once

#include "records/FieldRecord.h"

#include <QString>

namespace FixedAssets {
class AccountSet;
}

// What a user does to the demo data through the card services, for tests that disturb it.
namespace FixedAssets::Testing {

enum class CardOperation { Save, Adjust };

// A save of every card waiting for manual adjustment, keyed by queue position, as a user makes
// it on the demo data: each of a card's departments gets one row with the account and items of
// the card's first legacy row, the department as its department item, rate 1.
AllocFix::FieldRecord allocationsForQueue(const AccountSet &set);

// A demo set of cardCount cards (three in five adjusted automatically, one in five manual) at
// location, ready for the operation (for a save, adjusted already) and closed. Answers its
// canonical location.
QString prepareDemoSet(const QString &location, CardOperation operation, int cardCount);
// Saves allocationsForQueue, or adjusts, through the card update service.
void runCardOperation(CardOperation operation, const QString &location);

} // namespace FixedAssets::Testing
