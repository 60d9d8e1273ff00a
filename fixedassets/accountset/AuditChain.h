#pragma once

#include <QByteArray>
#include <QList>
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

// The audit log's hash chain. Each entry keeps entry_hash, the SHA-256 (lowercase hex) of the
// entry and of the entry_hash before it (empty for the first), and prev_hash, the hash it was
// chained on. The program computes both, not the database, so SQLite and PostgreSQL hold the same
// values. prev_hash lets a check tell a deleted entry from an edited or an inserted one.
//
// hash_form tells how an entry was hashed. Form 1, the entries written before schema version 5:
// some of the fields, as the program read them. Form 2, every entry since: every stored column
// exactly as stored (StoredForm), so that no edit of any column goes unseen. An entry keeps the
// form it was written in: its hash is never made again.
namespace AuditChain {

inline constexpr int StoredForm = 2;

// A stored value as form 2 hashes it: its kind (i integer, r real, t text, b blob, n null) and
// its bytes as stored (an integer's or a real's as decimal text).
struct StoredValue {
    char kind = 'n';
    QByteArray bytes;
};
// The columns form 2 covers, in this order.
QStringList storedColumns();
// An entry's columns as the program stores it, in the order of storedColumns().
QList<StoredValue> storedForm(qint64 entryId, const AuditRecord &record,
                              const QByteArray &previousHash);
// Form 2: every column of storedColumns(), as stored.
QByteArray storedHash(const QList<StoredValue> &columns);
// Form 1.
QByteArray entryHash(const QByteArray &previousHash, const AuditRecord &record);

// The log's last entry's ID (0 for an empty log) and hash (empty); inside the caller's write
// transaction, so no other writer chains on it too.
struct Last {
    qint64 entryId = 0;
    QByteArray hash;
};
Last last(const AccountSet &set);
// Chains the entries written before the log had a chain, in the order they were written, inside
// the caller's transaction (the schema's upgrade).
void chainExisting(const AccountSet &set);

} // namespace AuditChain

// Recomputes the chain from the first entry to the last, each entry in the form it was hashed in.
AuditChainCheck checkAuditChain(const AccountSet &set);

} // namespace FixedAssets
