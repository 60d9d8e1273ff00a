#pragma once

#include "records/RecordList.h"

namespace FixedAssets {

class AccountSet;

// The account set's own checks of a card's new expense rows before a save: every department is
// one of the card's, every account exists and is detail level, every item belongs to its class,
// every rate is above 0 and each department's rates sum to 1 at four decimals. Raises
// SaveRejected naming the card and the fault.
void checkNewRows(const AccountSet &set, qint32 cardId, qint32 position,
                  const AllocFix::RecordList &rows);

} // namespace FixedAssets
