#pragma once

#include <QList>
#include <QString>

namespace FixedAssets {

class AccountSet;

// One card's change as the audit log keeps it: its expense rows before and after, in the form of
// CardRecords::toJson.
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

// Writes the entries under one new save ID, with the time and the account set user, inside the
// caller's write transaction (which keeps two writers from taking the same ID).
void writeAuditLog(const AccountSet &set, const QList<AuditEntry> &entries);

// The entries written at or after since (UTC, ISO 8601 as savedAt; all when it is empty), in the
// order they were written.
QList<AuditRecord> readAuditLog(const AccountSet &set, const QString &since = {});

} // namespace FixedAssets
