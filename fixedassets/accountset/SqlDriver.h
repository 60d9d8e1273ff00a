#pragma once

#include "accountset/AccountSetLocation.h"
#include "fixedassets_export.h"

#include <QList>
#include <QSqlDatabase>
#include <QSqlError>
#include <QString>

class QVariant;
struct pg_conn;
struct sqlite3;

namespace FixedAssets {

class SqlDialect;

// Opens the account set's connections, each with the dialect of its database (SqlDialect), and
// holds what both databases share: the kinds of faults, the rights, the lock timeout.
class FIXEDASSETS_EXPORT SqlDriver {
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

    // Picks the dialect of the database of kind.
    explicit SqlDriver(AccountSetLocation::Kind kind);

    // Tests set up faults of one database by it; the program asks the dialect instead.
    AccountSetLocation::Kind kind() const { return m_kind; }
    // Everything the two databases do their own way.
    const SqlDialect &dialect() const { return *m_dialect; }

    // A new connection under the given name, not yet open.
    QSqlDatabase addConnection(const AccountSetLocation &location, const QString &name) const;
    // Gives the location the secrets a connection was made with and the location lacks, as one
    // read from the property string does: the password and the secret parameters.
    static void restoreSecrets(AccountSetLocation &location, const QSqlDatabase &connection);
    // Opens the connection and proves that it reaches a readable database. Raises CannotOpen
    // with the server's or the file's reason. PostgreSQL waits at most LockTimeoutMs for a lock.
    void open(QSqlDatabase &db, const AccountSetLocation &location) const;
    // SqlDialect::beginWrite, for a connection opened by open.
    QSqlError beginWrite(QSqlDatabase &db) const;

    // The connection's own handle, for writing many rows through the database's C library
    // within the connection's transaction; null for the other database. Qt's drivers and this
    // program use the one system library of each.
    static sqlite3 *sqliteHandle(const QSqlDatabase &db);
    static pg_conn *postgresHandle(const QSqlDatabase &db);

    // The database's own text for an error, or what the connection says when it gave none.
    static QString reasonOf(const QSqlDatabase &db, const QSqlError &error);

private:
    [[noreturn]] void raiseOpenFailure(QSqlDatabase &db, const AccountSetLocation &location,
                                       const QSqlError &error) const;

    AccountSetLocation::Kind m_kind;
    const SqlDialect *m_dialect;
};

} // namespace FixedAssets
