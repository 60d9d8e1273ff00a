#pragma once

#include "accountset/AccountSetLocation.h"

#include <QList>
#include <QSqlDatabase>
#include <QSqlError>
#include <QString>

class QVariant;
struct pg_conn;
struct sqlite3;

namespace FixedAssets {

// Every difference between SQLite and PostgreSQL that the account set meets, in one place. The
// rest of the code speaks the SQL both understand.
class SqlDriver {
public:
    // How long a writer waits for another user's write lock before it gives up.
    static constexpr int LockTimeoutMs = 5000;

    // What a failed statement means for the user, beyond the database's own text.
    enum class ErrorKind {
        Other,
        // Another user held the lock longer than LockTimeoutMs.
        Busy,
        // The disk, a quota or the database's size limit left no room.
        Full,
        // The database found its own file damaged.
        Damaged,
        // The file, its folder or the server takes no changes.
        ReadOnly,
        // The server ended the connection (an administrator, a restart, the network).
        ConnectionLost,
        // An audit entry was to be changed or deleted; the log takes new entries only.
        AppendOnly,
    };

    // What the audit log's trigger raises when an entry is to be changed or deleted.
    static inline const QString AppendOnlyMark = QStringLiteral("allocfix:audit_log:append_only");

    // A rule that every row written to a table must keep: condition is an SQL expression on
    // NEW that is true when the row breaks the rule.
    struct RowRule {
        QString condition;
        QString message;
    };

    // What the connecting role may do with the account set. PostgreSQL answers from its grants;
    // an SQLite file has no roles (its mode is the access control), so whoever opens it may do
    // all.
    struct Rights {
        bool save = true; // write cards' expense rows, the manual queue and the audit log
        bool own = true;  // create, replace or upgrade the set
        QString role;     // the group role that grants them, or the user when none does
    };

    explicit SqlDriver(AccountSetLocation::Kind kind)
        : m_kind(kind)
    {}

    AccountSetLocation::Kind kind() const { return m_kind; }

    // A new connection under the given name, not yet open.
    QSqlDatabase addConnection(const AccountSetLocation &location, const QString &name) const;
    // Gives the location the secrets a connection was made with and the location lacks, as one
    // read from the property string does: the password and the secret parameters.
    static void restoreSecrets(AccountSetLocation &location, const QSqlDatabase &connection);
    // Opens the connection and proves that it reaches a readable database. Raises CannotOpen
    // with the server's or the file's reason. PostgreSQL waits at most LockTimeoutMs for a lock.
    void open(QSqlDatabase &db, const AccountSetLocation &location) const;
    // Lets readers go on while another user writes: SQLite's write-ahead-log mode (PostgreSQL
    // does so anyway). Only for an account set: it changes the file.
    void letReadersPassWriters(QSqlDatabase &db) const;

    // The column type of a generated row key.
    QString identityColumn() const;
    // Begins a transaction that holds the write lock until it ends, so two saves cannot
    // interleave. Answers the error (no transaction is left open then), or an error of type
    // NoError.
    QSqlError beginWrite(QSqlDatabase &db) const;
    // A table or column of the schema that is not there counts as damage: no program of ours
    // makes such a set.
    ErrorKind kindOf(const QSqlError &error) const;
    // Whether the connection is gone, whatever the error says (the driver often says nothing).
    bool connectionLost(const QSqlDatabase &db) const;
    // Whether an error that reads as an input or output fault ("disk I/O error" when SQLite
    // cannot make its log files) comes from a disk without room.
    bool noRoom(const QSqlError &error, const AccountSetLocation &location) const;
    // Triggers that refuse an inserted or updated row of table that breaks one of rules; the
    // first rule broken names the fault.
    QStringList rowGuard(const QString &table, const QList<RowRule> &rules) const;
    // What Schema::drop must remove besides the table itself.
    QStringList dropRowGuard(const QString &table) const;
    // Triggers that refuse to change or delete a row of table: on PostgreSQL for every role but
    // the table's owner (so a mistaken GRANT cannot open it), on SQLite, which has no roles, for
    // everyone.
    QStringList appendOnly(const QString &table) const;
    QStringList dropAppendOnly(const QString &table) const;
    // Raises QueryFailed when the server does not answer.
    Rights rights(QSqlDatabase &db) const;
    // The account set user that the audit log records.
    QString currentUser(QSqlDatabase &db) const;
    // A query that answers the same text for as long as nothing has been written to the
    // database, by this connection or any other; what is kept from the data compares it.
    QString dataVersionQuery() const;
    // The statement that brings the planner's statistics of the tables (all without any) up to
    // date, or nothing where none is needed. PostgreSQL plans a statement prepared once for all
    // its values from them, and without them takes every table for a large one (hash joins over
    // whole tables); SQLite plans our queries well without them.
    QString statisticsUpdate(const QStringList &tables) const;
    // The connection's own handle, for writing many rows through the database's C library
    // within the connection's transaction; null for the other database. Qt's drivers and this
    // program use the one system library of each.
    sqlite3 *sqliteHandle(const QSqlDatabase &db) const;
    pg_conn *postgresHandle(const QSqlDatabase &db) const;

    // Why the account set cannot be written, or nothing when it can.
    QString readOnlyReason(QSqlDatabase &db, const AccountSetLocation &location) const;
    // The first damage the database finds in its own file, or nothing when it is whole. SQLite
    // reads every page for it; a PostgreSQL server keeps its own files whole.
    QString damage(QSqlDatabase &db) const;
    // The database's own text for an error, or what the connection says when it gave none.
    static QString reasonOf(const QSqlDatabase &db, const QSqlError &error);
    // Why a value cannot be stored as it is, or nothing when it can.
    QString refusedValue(const QVariant &value) const;

private:
    [[noreturn]] void raiseOpenFailure(QSqlDatabase &db, const AccountSetLocation &location,
                                       const QSqlError &error) const;

    AccountSetLocation::Kind m_kind;
};

} // namespace FixedAssets
