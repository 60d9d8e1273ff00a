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

// Writes the entries under one new save ID, with the time and the account set user, inside the
// caller's write transaction (which keeps two writers from taking the same ID).
void writeAuditLog(const AccountSet &set, const QList<AuditEntry> &entries);

} // namespace FixedAssets
