#pragma once

#include "accountset/AuditChain.h"
#include "accountset/BulkInsert.h"

#include <QList>
#include <QString>

namespace FixedAssets {

class AccountSet;

// Appends one save's entries to the audit log, one at a time, under a new save ID with the time
// and the account set user, inside the caller's write transaction: its lock keeps a second writer
// from taking the same ID or chaining on the same entry. Keeps the previous entry's hash and at
// most a batch of entries not yet written, so a save may write any number of entries as it goes,
// and between two appends the connection is free for the save's own reads and writes (a batch
// goes to PostgreSQL as one COPY, which holds the connection only while it runs).
//
//     AuditLogWriter log(set);
//     for (...)
//         log.append({cardId, before, after});
//     log.finish();
class AuditLogWriter {
public:
    explicit AuditLogWriter(const AccountSet &set);

    void append(const AuditEntry &entry);
    // Writes the entries still waiting.
    void finish();

private:
    AuditRecord m_record; // the save's ID, time and user; the entry of the last append
    QByteArray m_previousHash;
    BulkInsert m_log; // batched: the entries not yet written wait there
};

// Writes the entries under one new save ID (nothing when there are none), as AuditLogWriter.
void writeAuditLog(const AccountSet &set, const QList<AuditEntry> &entries);

// The entries written at or after since (UTC, ISO 8601 as savedAt; all when it is empty), in the
// order they were written.
QList<AuditRecord> readAuditLog(const AccountSet &set, const QString &since = {});

// What a check of the audit log's hash chain found: the chain intact, or its first entry that does
// not match and, as far as the chain tells, how.
struct AuditChainCheck {
    enum class Fault {
        None,
        // The entry's fields no longer give its hash.
        Edited,
        // The entry after it was chained on the entry before it.
        Inserted,
        // It was chained on an entry that is no longer in the log.
        Deleted,
        // It was chained on an entry that now comes after it (otherEntryId).
        Moved,
    };
    Fault fault = Fault::None;
    qint64 entries = 0;
    QByteArray lastHash; // Fault::None: the last entry's hash, empty for an empty log
    qint64 entryId = 0;  // the entry named
    qint32 saveId = 0;   // its save
    qint64 otherEntryId = 0;
};

// Recomputes the chain from the first entry to the last.
AuditChainCheck checkAuditChain(const AccountSet &set);

} // namespace FixedAssets
