#pragma once

#include "accountset/AccountSetLocation.h"

#include <QSqlDatabase>
#include <QString>

struct pg_conn;
struct sqlite3;

namespace FixedAssets {

// Every difference between SQLite and PostgreSQL that the account set meets, in one place. The
// rest of the code speaks the SQL both understand.
class SqlDriver {
public:
    explicit SqlDriver(AccountSetLocation::Kind kind)
        : m_kind(kind)
    {}

    AccountSetLocation::Kind kind() const { return m_kind; }

    // A new connection under the given name, not yet open.
    QSqlDatabase addConnection(const AccountSetLocation &location, const QString &name) const;
    // Opens the connection and proves that it reaches a readable database. Raises CannotOpen
    // with the server's or the file's reason.
    void open(QSqlDatabase &db, const AccountSetLocation &location) const;

    // The column type of a generated row key.
    QString identityColumn() const;
    // Begins a transaction that holds the write lock until it ends, so two saves cannot
    // interleave.
    void beginWrite(QSqlDatabase &db) const;
    // The account set user that the audit log records.
    QString currentUser(QSqlDatabase &db) const;
    // A query that answers the same text for as long as nothing has been written to the
    // database, by this connection or any other; what is kept from the data compares it.
    QString dataVersionQuery() const;
    // Brings the planner's table statistics up to date after many rows were written at once.
    // PostgreSQL plans a statement prepared once for all its values from them, and without them
    // takes every table for a large one (hash joins over whole tables); SQLite plans our
    // queries well without them.
    void updateStatistics(QSqlDatabase &db) const;
    // The connection's own handle, for writing many rows through the database's C library
    // within the connection's transaction; null for the other database. Qt's drivers and this
    // program use the one system library of each.
    sqlite3 *sqliteHandle(const QSqlDatabase &db) const;
    pg_conn *postgresHandle(const QSqlDatabase &db) const;

private:
    AccountSetLocation::Kind m_kind;
};

} // namespace FixedAssets
