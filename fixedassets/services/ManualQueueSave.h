#pragma once

#include "services/AuditLog.h"
#include "services/CardWriter.h"
#include "services/SaveChecks.h"

#include <QBitArray>
#include <QList>

#include <functional>
#include <optional>

namespace FixedAssets {

class AccountSet;

// Saves the rows of the cards waiting for manual adjustment, card after card, inside the caller's
// WriteTransaction: each card is checked (SaveChecks) as it is given, its rows are written against
// the stored ones a batch of cards at a time, and its audit entry follows. Memory does not grow
// with the number of cards saved. Any fault raises SaveRejected; the caller then does not commit,
// so nothing is half-saved.
//
//     WriteTransaction transaction(set);
//     ManualQueueSave save(set);
//     for (...)
//         save.add(position, rows);
//     save.finish();
//     transaction.commit();
class ManualQueueSave {
public:
    // Raises SaveRejected when no card is waiting.
    explicit ManualQueueSave(const AccountSet &set);

    qsizetype queued() const { return m_queue.size(); }
    // The card at a position of the queue, from 1; 0 when there is none.
    qint32 cardAt(qint32 position) const;
    // The position a key of the allocations names: "1".."N", no spaces, no leading zeros.
    // Raises SaveRejected quoting the key for any other.
    qint32 positionOf(const QString &key) const;

    // Raises SaveRejected: "nothing was saved" and the reason.
    [[noreturn]] static void reject(const QString &reason);

    void add(qint32 position, const AllocFix::RecordList &rows);
    // Refuses when a waiting card was not given; else writes what is left and empties the queue.
    void finish();

    // The save of cards checked before this transaction read the queue: another user may have
    // adjusted or changed cards since. Unless the queue holds exactly `count` cards, each one
    // that checked(card ID, position) accepts, raises what changed(difference) raises. Then
    // read adds the rows (add) in any order, and answers whether to finish: false leaves the
    // save unfinished, for the caller not to commit.
    struct Checked {
        qsizetype count = 0;
        std::function<bool(qint32 cardId, qint32 position)> accepts;
        std::function<void(const QString &difference)> changed;
    };
    bool saveChecked(const Checked &checked, const std::function<bool()> &read);

    struct Queued {
        qint32 position = 0;
        qint32 cardId = 0;
    };

private:
    qsizetype indexOf(qint32 position) const; // in m_queue; -1 for none
    void writeBatch();

    const AccountSet &m_set;
    QList<Queued> m_queue; // by position: 200,000 cards may wait
    std::optional<SaveChecks> m_checks;
    std::optional<AuditLogWriter> m_audit;
    QList<CardWriter::CardRows> m_batch;
    QBitArray m_given; // by index in m_queue
};

} // namespace FixedAssets
