#pragma once

#include "records/RecordList.h"

#include <QList>
#include <QString>

#include <functional>

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
// queue, in asset-number order. Answers how many they are.
qsizetype run(const AccountSet &set);

// The manual queue in its order, as "FAlterID" records.
AllocFix::RecordList queuedCards(const AccountSet &set);

// A card of the manual queue as a listing shows it.
struct QueuedCard {
    qint32 position = 0;
    qint32 cardId = 0;
    QString number;
    QString name;
};
// Hands use the cards of the manual queue in its order, a page at a time: a group's books leave
// hundreds of thousands.
void forEachQueuedCard(const AccountSet &set, const std::function<void(const QueuedCard &)> &use);

} // namespace Adjustment
} // namespace FixedAssets
