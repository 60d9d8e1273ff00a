#pragma once

#include "records/FieldRecord.h"
#include "records/RecordList.h"
#include "services/AuditLog.h"

#include <QList>

namespace FixedAssets {

class AccountSet;

// Which cards the adjustment concerns. A card needs adjustment when two or more departments use
// it and it still has legacy expense rows (no department) that split its whole expense. With
// exactly one row, and that row legacy, the service adjusts it by itself; any other such card
// needs a person, since a split between several accounts cannot be guessed.
namespace Adjustment {

struct CardsToAdjust {
    QList<qint32> automatic;
    // In asset-number order: the order in which the wizard presents them.
    QList<qint32> manual;
};

CardsToAdjust findCards(const AccountSet &set);

struct CardCounts {
    qint32 total = 0;
    qint32 manual = 0;
};
// How many cards findCards would answer, and how many of them manual, in one pass over the
// expense rows: what the check asks for, without listing or ordering the cards.
CardCounts countCards(const AccountSet &set);

// One row for each department with the legacy row's account and items and rate 1; where the
// account has the department item class, that item becomes the department.
AllocFix::RecordList rowsPerDepartment(const AllocFix::FieldRecord &legacy,
                                       const AllocFix::RecordList &departments);

// Replaces the card's one legacy row by rowsPerDepartment. Answers the card's rows before and
// after, for the audit log.
AuditEntry adjustAutomatically(const AccountSet &set, qint32 cardId);

} // namespace Adjustment
} // namespace FixedAssets
