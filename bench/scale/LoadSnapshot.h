#pragma once

#include "accountset/AccountSetLocation.h"

#include <QString>
#include <QStringList>

namespace Bench::Load {

// The tables the load step's writer changes, parents first. The audit log only grows: its chain
// is what audit --verify checks, and it is never put back.
inline const QStringList WrittenTables{QStringLiteral("expense_rows"),
                                       QStringLiteral("expense_row_items"),
                                       QStringLiteral("manual_queue")};

// The set's written tables (and its adjustment date) as they are now, kept beside it (an attached
// file on SQLite, a schema of its own on PostgreSQL), and put back in one transaction that takes
// the write lock as the program's writes take it. Each call opens a connection of its own, so the
// writer's thread may restore while readers read. Raises std::runtime_error on any failure.
class Snapshot {
public:
    Snapshot(const QString &location, const QString &workFolder);
    ~Snapshot();
    Snapshot(const Snapshot &) = delete;
    Snapshot &operator=(const Snapshot &) = delete;

    void restore() const;

private:
    bool sqlite() const;
    void execute(const QStringList &statements) const;

    FixedAssets::AccountSetLocation m_location;
    QString m_savedFile;
};

} // namespace Bench::Load
