#pragma once

#include "records/FieldRecord.h"
#include "records/RecordList.h"

#include <QString>

namespace AllocFix {

// The state of one manual step: the cards the card service left for manual work, each shown
// card's expense rows, and which cards have had their rows loaded. Rows and marks are keyed by
// the card's position written as decimal text ("1", "2", ... "10"), which is also how the card
// update service receives them.
//
// vecFalterID(), AllDict() and dirtVect() hand out the collections themselves, not copies:
// whoever changes them changes the step. The component's own changes go through the operations
// below, which keep what holds between the three collections: a card has an entry in AllDict
// exactly when its mark is "1", and that entry is the card's own list, never another card's.
//
// The wizard owns one step for its whole life and begins it afresh with every adjustment;
// validation and saving read it.
class ManualStep {
public:
    ManualStep() = default;
    ManualStep(const ManualStep &) = delete;
    ManualStep &operator=(const ManualStep &) = delete;

    static QString key(qsizetype position) { return QString::number(position); }

    // New, empty collections: no card, no rows.
    void clear();
    // New collections for the cards, in the service's order, none of them loaded yet. Rows of
    // an earlier step are gone, so that validation and saving see this step's only.
    void begin(const RecordList &cards);

    // The cards, positions 1..N; each record's "FAlterID" names the card.
    RecordList vecFalterID() const { return m_cards; }
    // Each loaded card's list of expense rows.
    FieldRecord AllDict() const { return m_rows; }
    // "1" once a card's rows are loaded, "0" before.
    FieldRecord dirtVect() const { return m_loaded; }

    qint32 cardId(qsizetype position) const;
    bool isLoaded(qsizetype position) const;
    // The card's list as last stored; a null list when there is none.
    RecordList rows(qsizetype position) const;
    // The first visit of a card: its rows as the card service gave them for it (none counts
    // as an empty list), kept from now on.
    void loadRows(qsizetype position, const RecordList &rows);

    // Changes of a loaded card's own rows, in place, so that a handle on the card's list sees
    // them. A card whose rows were never loaded has no list to change: Failure 91, and nothing
    // changes. appendRow returns the row's position.
    qsizetype appendRow(qsizetype position, const FieldRecord &row);
    void replaceRow(qsizetype position, qsizetype row, const FieldRecord &record);
    void removeRow(qsizetype position, qsizetype row);
    // All of a loaded card's rows at once: its list then holds these records.
    void setRows(qsizetype position, const RecordList &records);
    // The cards are as if never visited: no list in AllDict, marked "0", so that the next visit
    // asks the card service for their rows again.
    void unloadRows(const QList<qsizetype> &positions);

private:
    RecordList m_cards = RecordList::create();
    FieldRecord m_rows = FieldRecord::create();
    FieldRecord m_loaded = FieldRecord::create();
};

} // namespace AllocFix
