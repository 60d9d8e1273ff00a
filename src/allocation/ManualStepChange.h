#pragma once

#include "records/RecordList.h"

#include <QList>

namespace AllocFix {

class ManualStep;

// One change of the manual step's rows, as it can be taken back and made again: the rows of
// every card it touched, before and after, each held as its own copy so that later changes of
// the step never reach them. Every field comes back as it was, a rate to its last bit, and a card
// that was not loaded before the change is not loaded again after its undo: the finish check and
// the save then read exactly what they would have read had the change not been made.
//
//     ManualStepChange change(step, position);
//     step.removeRow(position, row);
//     change.recordResult(step);
//     ... change.undo(step); ... change.redo(step);
//
// Undo and redo expect the step as the change left it and as it found it, respectively: the
// caller keeps the changes in order (a QUndoStack does).
class ManualStepChange {
public:
    // Takes the rows of the card the change is made on and of the other cards it will touch,
    // as they are before it.
    ManualStepChange(const ManualStep &step, qsizetype card, const QList<qsizetype> &others = {});

    // Takes the same cards' rows once the change is made.
    void recordResult(const ManualStep &step);

    void undo(ManualStep &step) const;
    void redo(ManualStep &step) const;

    // The card the change was made on.
    qsizetype card() const { return m_card; }

private:
    struct CardRows {
        qsizetype position = 0;
        bool loaded = false;
        RecordList rows; // none when the card was not loaded
    };
    static QList<CardRows> take(const ManualStep &step, const QList<qsizetype> &cards);
    static void restore(ManualStep &step, const QList<CardRows> &cards);

    qsizetype m_card = 0;
    QList<qsizetype> m_cards;
    QList<CardRows> m_before;
    QList<CardRows> m_after;
};

} // namespace AllocFix
