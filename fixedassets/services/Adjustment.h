#pragma once

#include "records/RecordList.h"

#include <QList>

namespace FixedAssets {

class AccountSet;

// Which cards the adjustment concerns, and what the service does with them by itself. A card
// needs adjustment when two or more departments use it and it still has legacy expense rows (no
// department) that split its whole expense. With exactly one row, and that row legacy, the
// service adjusts it by itself; any other such card needs a person, since a split between
// several accounts cannot be guessed.
namespace Adjustment {

struct CardsToAdjust {
    QList<qint32> automatic;
    // In asset-number order: the order in which the wizard presents them.
    QList<qint32> manual;
};
// The cards the adjustment concerns, without adjusting any.
CardsToAdjust findCards(const AccountSet &set);

struct CardCounts {
    qint32 total = 0;
    qint32 manual = 0;
};
// How many cards the adjustment concerns, and how many of them need a person: what the check
// asks for, in one pass over the expense rows.
CardCounts countCards(const AccountSet &set);

// The adjustment, inside the caller's write transaction. Each card the service can adjust gets
// one row per department with the legacy row's account and items and rate 1; where the account
// has the department item class, that item becomes the department. Each such card gets one
// audit entry, all of them under one save ID. The cards that need a person become the manual
// queue, in asset-number order, and are answered in that order ("FAlterID" records).
AllocFix::RecordList run(const AccountSet &set);

} // namespace Adjustment
} // namespace FixedAssets
