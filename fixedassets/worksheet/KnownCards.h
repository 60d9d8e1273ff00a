#pragma once

#include "worksheet/ManualCards.h"

#include <QByteArray>
#include <QList>

#include <deque>
#include <span>

namespace FixedAssets {

// What the import keeps of a card left for manual work while it runs.
struct KnownCard {
    qint32 cardId = 0;
    qint32 position = 0;      // in the order the card services presented the cards at the export
    qint32 queuePosition = 0; // in the queue the save takes them by
    quint64 checkDigest = 0;  // of the check code the export wrote for it
    // What the check's read of the worksheet found, for the checks of all cards.
    qint32 firstLine = 0; // a worksheet has at most 5,000,000 lines
    qint32 firstFilledLine = 0;
    bool scattered = false; // its lines lie apart in the worksheet
    bool read = false;
    bool refused = false;
    bool saved = false; // its rows passed every check

private:
    friend class KnownCards;
    qint32 m_numberFrom = 0; // in KnownCards' packed asset numbers
    qint32 m_numberBytes = 0;
    qint32 m_departmentsFrom = 0;
    qint32 m_departmentCount = 0;
};

// The cards left for manual work, found by asset number or ID. There may be 200,000 of them for
// the whole import, so each keeps no records and no texts: its asset number is packed with the
// others', its departments are their IDs, and its check code is its digest: under 100 bytes a card.
class KnownCards {
public:
    void add(const ManualCard &card);
    // Makes the cards findable; after the last add.
    void index();

    bool isEmpty() const { return m_cards.empty(); }
    std::deque<KnownCard> &cards() { return m_cards; }
    const std::deque<KnownCard> &cards() const { return m_cards; }
    // Nothing for a card that is not one of these.
    KnownCard *byNumber(const QString &number);
    KnownCard *byId(qint32 cardId);
    const KnownCard *byId(qint32 cardId) const;
    // Its departments' item IDs, in the card's order.
    std::span<const qint32> departmentsOf(const KnownCard &card) const;

private:
    QByteArrayView numberOf(qint32 index) const;
    qsizetype indexById(qint32 cardId) const; // -1 for none

    // In blocks: a list would double its room as it grows, and copy it to let the room go.
    std::deque<KnownCard> m_cards;
    QByteArray m_numbers; // UTF-8, one after another
    QList<qint32> m_departments;
    QList<qint32> m_byNumber; // indexes into m_cards, by asset number
    QList<qint32> m_byId;     // indexes into m_cards, by ID
};

} // namespace FixedAssets
