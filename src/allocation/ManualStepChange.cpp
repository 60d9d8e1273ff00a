#include "allocation/ManualStepChange.h"

#include "allocation/ManualStep.h"
#include "records/FieldRecord.h"

namespace AllocFix {

ManualStepChange::ManualStepChange(const ManualStep &step, qsizetype card,
                                   const QList<qsizetype> &others)
    : m_card(card)
    , m_cards(QList<qsizetype>{card} + others)
    , m_before(take(step, m_cards))
{}

void ManualStepChange::recordResult(const ManualStep &step)
{
    m_after = take(step, m_cards);
}

void ManualStepChange::undo(ManualStep &step) const
{
    restore(step, m_before);
}

void ManualStepChange::redo(ManualStep &step) const
{
    restore(step, m_after);
}

QList<ManualStepChange::CardRows> ManualStepChange::take(const ManualStep &step,
                                                         const QList<qsizetype> &cards)
{
    QList<CardRows> taken;
    taken.reserve(cards.size());
    for (const qsizetype position : cards) {
        const bool loaded = step.isLoaded(position);
        taken.append(
            {position, loaded, loaded ? CloneRecordList(step.rows(position)) : RecordList()});
    }
    return taken;
}

void ManualStepChange::restore(ManualStep &step, const QList<CardRows> &cards)
{
    QList<qsizetype> unloaded;
    for (const CardRows &card : cards) {
        if (!card.loaded) {
            unloaded.append(card.position);
            continue;
        }
        // Copies again: the rows restored may be changed in place, the ones held here may not.
        const RecordList rows = CloneRecordList(card.rows);
        if (step.isLoaded(card.position))
            step.setRows(card.position, rows);
        else
            step.loadRows(card.position, rows);
    }
    if (!unloaded.isEmpty())
        step.unloadRows(unloaded);
}

} // namespace AllocFix
