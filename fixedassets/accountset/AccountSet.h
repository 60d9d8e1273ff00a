#pragma once

#include "accountset/AccountSetLocation.h"
#include "accountset/SqlDialect.h" // driver().dialect() for every caller
#include "fixedassets_export.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>

#include <functional>

// The fixed-asset account set: one database, SQLite (a file) or PostgreSQL (a server database),
// with one schema. A host opens it by the location its property string names:
//
//     FixedAssets::createDemoAccountSet(u"sqlite:/tmp/set.fa"_s, 20);   // DemoData.h
//     AccountSet set = AccountSet::open(u"sqlite:/tmp/set.fa"_s);
//     QSqlQuery cards = set.exec(u"SELECT alter_id FROM cards WHERE asset_number = ?"_s, {number});
//
// Connections are pooled by location: opening the same account set again reuses its open
// connection. Everything runs on the user-interface thread.
namespace FixedAssets {

class FIXEDASSETS_EXPORT AccountSet {
public:
    // Opens an existing account set, upgrading an older schema. Raises Failure with
    // CannotOpen (missing file, unreachable server, corrupt file), NotAnAccountSet (a database
    // of something else) or TooNew (made by a newer program).
    static AccountSet open(const AccountSetLocation &location);
    static AccountSet open(const QString &location);
    // The account set the host property string names ("AcctSet=...").
    static AccountSet fromProps(const QString &props);

    // Creates the account set anew, replacing one that is there, and lets fill add its data.
    // Either all of it is written or nothing changes: SQLite builds a new file and moves it into
    // place, PostgreSQL does it in one transaction.
    static AccountSet create(const AccountSetLocation &location,
                             const std::function<void(const AccountSet &)> &fill = {});

    // Closes a pooled connection (all of them without an argument).
    static void close(const AccountSetLocation &location);
    static void closeAll();
    // How many pooled connections have been closed so far. What is kept per connection
    // (prepared statements, snapshots of its data) compares it to know whether its connection
    // may have gone in between.
    static quint64 closedConnections();

    const AccountSetLocation &location() const { return m_location; }
    const SqlDriver &driver() const { return m_driver; }
    QSqlDatabase database() const;

    // Prepares sql, binds values in order and runs it. Raises QueryFailed, or Busy and Full
    // where the database says so.
    QSqlQuery exec(const QString &sql, const QVariantList &values = {}) const;
    // The first column of the first row, or an invalid QVariant when there is no row. With
    // values, the statement is prepared once per connection (PreparedStatement).
    QVariant scalar(const QString &sql, const QVariantList &values = {}) const;
    // Raises QueryFailed for a value the database cannot store as it is (PostgreSQL: a text
    // holding NUL), before any of them reaches it.
    void requireStorable(const QVariantList &values) const;

    // Brings the planner's statistics of the tables (the account set's own without any) up to date
    // after many rows were written at once (SqlDriver::statisticsUpdate).
    void updateStatistics(const QStringList &tables = {}) const;

    QString profileValue(const QString &name) const;
    void setProfileValue(const QString &name, const QString &value) const;

    // Raises ReadOnly when the account set cannot be written, and Damaged when its database
    // finds damage in its own file. The integrity check reads the whole file, so it runs once
    // per process and account set, and not at all while the set looks as it did when last
    // known whole (IntegrityNotes); the services call this before their first write and when
    // the check of the cards begins.
    void requireWritableAndIntact() const;
    // How many times this process has run that whole-file check.
    static quint64 wholeChecks();
    enum class Right { Save, Own };
    // Raises NotPermitted, in one line that names the user's role, when the role lacks the
    // right (PostgreSQL's grants; an SQLite file grants all). WriteTransaction asks for Save,
    // creating, replacing and upgrading the set for Own. Asks the server once per connection.
    void requireRight(Right right) const;
    // Raises the failure for an error of this account set's database. It carries the database's
    // own text, and says so plainly when the set is damaged or read-only or the connection is
    // gone.
    [[noreturn]] void raise(const QSqlError &error) const;

private:
    friend class ConnectionPool;
    AccountSet(AccountSetLocation location, QString connectionName);

    AccountSetLocation m_location;
    SqlDriver m_driver;
    QString m_connectionName;
};

// A transaction that holds the account set's write lock. It rolls back unless committed. When
// another user holds the lock longer than SqlDriver::LockTimeoutMs, it raises Busy.
class FIXEDASSETS_EXPORT WriteTransaction {
public:
    // Locking::None for a database that has no account set yet (nothing to lock).
    enum class Locking { AccountSet, None };
    explicit WriteTransaction(const AccountSet &set, Locking locking = Locking::AccountSet);
    ~WriteTransaction();
    WriteTransaction(const WriteTransaction &) = delete;
    WriteTransaction &operator=(const WriteTransaction &) = delete;

    void commit();

private:
    AccountSet m_set;
    QSqlDatabase m_db;
    bool m_open = true;
    // Whether the set was known whole when the lock was taken: then it still is after the
    // commit, which this program alone wrote.
    bool m_wholeBefore = false;
};

} // namespace FixedAssets
