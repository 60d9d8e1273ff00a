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
    AuditRecord m_record;    // the save's ID, time and user; the entry of the last append
    AuditChain::Last m_last; // the last entry appended
    BulkInsert m_log;        // batched: the entries not yet written wait there
};

// Writes the entries under one new save ID (nothing when there are none), as AuditLogWriter.
void writeAuditLog(const AccountSet &set, const QList<AuditEntry> &entries);

// The entries written at or after since (UTC, ISO 8601 as savedAt; all when it is empty), in the
// order they were written.
QList<AuditRecord> readAuditLog(const AccountSet &set, const QString &since = {});

} // namespace FixedAssets
