#pragma once

#include "records/RecordList.h"

#include <QList>

#include <functional>

namespace AllocFix {

class ManualStep;

// Copying one card's expense rows to the other cards of the manual step that are allocated
// alike: the same departments, and the same legacy accounts (the accounts of the rows without a
// department that the card service holds for the card, whatever the wizard has made of them).
// The copies become those cards' own rows, validated, saved and edited like rows typed by hand.
//
//     const AllocationCopy copy = findAllocationCopy(step, position, progress);
//     ... show copy.targets and copy.unreadable, then, if the user agrees ...
//     applyAllocationCopy(step, copy);
struct AllocationCopy {
    struct Target {
        qsizetype position = 0;
        qint32 cardId = 0;
        // The card's rows as the service gave them: a card not yet loaded is loaded with them,
        // as a visit would load it, before its rows are replaced.
        RecordList serviceRows;
    };

    qsizetype source = 0;
    // In position order.
    QList<Target> targets;
    // Cards whose departments or rows the service could not give: they are left as they are.
    QList<qsizetype> unreadable;
};

// Reports the cards looked at so far, of all the other cards.
using CopyProgress = std::function<void(qsizetype done, qsizetype total)>;

// Asks the card service for the departments and rows of the source, then for what decides
// whether each other card of the step is alike: when the service offers ICardCopyKeys, the keys
// of all of them in one call; otherwise each card's departments (GetDept). The rows of each card
// still in question are read with GetExpense. A failure for the source, or of the one call for
// the keys, reaches the caller.
AllocationCopy findAllocationCopy(const ManualStep &step, qsizetype source,
                                  const CopyProgress &progress = {});

// Every target's rows become copies of the source's present rows, each row naming its own card.
// Each target is loaded first if it was not, and changed only once its copies are made.
void applyAllocationCopy(ManualStep &step, const AllocationCopy &copy);

} // namespace AllocFix
