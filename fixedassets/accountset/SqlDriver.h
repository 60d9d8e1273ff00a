#pragma once

#include "accountset/AccountSetLocation.h"

#include <QSqlDatabase>
#include <QString>

class QSqlError;
class QVariant;

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

    // Why the account set cannot be written, or nothing when it can.
    QString readOnlyReason(QSqlDatabase &db, const AccountSetLocation &location) const;
    // The first damage the database finds in its own file, or nothing when it is whole. SQLite
    // reads every page for it; a PostgreSQL server keeps its own files whole.
    QString damage(QSqlDatabase &db) const;
    // The database's own text for an error, or what the connection says when it gave none.
    static QString reasonOf(const QSqlDatabase &db, const QSqlError &error);
    // What an error of the database says about the account set as a whole.
    enum class ErrorKind { Other, Damaged, ReadOnly };
    ErrorKind kindOf(const QSqlError &error) const;
    // Why a value cannot be stored as it is, or nothing when it can.
    QString refusedValue(const QVariant &value) const;

private:
    AccountSetLocation::Kind m_kind;
};

} // namespace FixedAssets
