#pragma once

#include <QByteArray>
#include <QString>

namespace FixedAssets {

class AccountSet;

// One card's change as the audit log keeps it: its expense rows before and after, in the form of
// RowsJson::toJson.
struct AuditEntry {
    qint32 cardId = 0;
    QString rowsBefore;
    QString rowsAfter;
};

// One entry of the audit log as it was written.
struct AuditRecord {
    qint32 saveId = 0;
    QString savedAt; // UTC, ISO 8601
    QString user;
    AuditEntry entry;
};

// The audit log's hash chain. Each entry keeps entry_hash, the SHA-256 (lowercase hex) of its own
// fields and of the entry_hash before it (empty for the first), and prev_hash, the hash it was
// chained on. The program computes both, not the database, so SQLite and PostgreSQL hold the same
// values. prev_hash lets a check tell a deleted entry from an edited or an inserted one.
namespace AuditChain {

QByteArray entryHash(const QByteArray &previousHash, const AuditRecord &record);
// The hash of the log's last entry (empty for an empty log); inside the caller's write
// transaction, so no other writer chains on it too.
QByteArray lastHash(const AccountSet &set);
// Chains the entries written before the log had a chain, in the order they were written, inside
// the caller's transaction (the schema's upgrade).
void chainExisting(const AccountSet &set);

} // namespace AuditChain
} // namespace FixedAssets
