#pragma once

#include "accountset/SqlDriver.h"
#include "fixedassets_export.h"

#include <QByteArray>
#include <QList>
#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <QStringList>

#include <functional>

class QVariant;

namespace FixedAssets {

class AccountSet;

// What one database does its own way: its SQL spellings, its settings and how it reports faults.
// SqlDriver picks one per connection; the rest of the code speaks the SQL both understand.
class FIXEDASSETS_EXPORT SqlDialect {
public:
    virtual ~SqlDialect() = default;

    // A new connection under the given name, not yet open.
    virtual QSqlDatabase addConnection(const AccountSetLocation &location,
                                       const QString &name) const = 0;
    // The first statement on a new connection, which proves that it reaches a readable database.
    virtual QString probeQuery() const = 0;
    // Statements run on every new connection, after the probe.
    virtual QStringList sessionSettings() const = 0;
    // Lets readers go on while another user writes. Only for an account set: it may change the
    // file.
    virtual void letReadersPassWriters(QSqlDatabase &db) const = 0;

    // Raises CannotOpen when there is plainly no account set to open at location (a file that
    // is not there, or a folder). Runs before any connection, which would make an empty file.
    virtual void requireExisting(const AccountSetLocation &location) const = 0;
    // Builds an account set with build and puts it in place of the one at location, all or
    // nothing, leaving location's connection open in the pool. Raises CannotOpen when the new
    // set cannot be made there.
    virtual void replace(const AccountSetLocation &location,
                         const std::function<void(const AccountSet &)> &build) const = 0;

    // The column type of a generated row key.
    virtual QString identityColumn() const = 0;
    // Begins a transaction that holds the write lock until it ends, so two saves cannot
    // interleave. Answers the error (no transaction is left open then), or an error of type
    // NoError.
    virtual QSqlError beginWrite(QSqlDatabase &db) const = 0;
    // A table or column of the schema that is not there counts as damage: no program of ours
    // makes such a set.
    virtual SqlDriver::ErrorKind kindOf(const QSqlError &error) const = 0;
    // Whether the connection is gone, whatever the error says (the driver often says nothing).
    virtual bool connectionLost(const QSqlDatabase &db) const = 0;
    // Whether an error that reads as an input or output fault ("disk I/O error" when SQLite
    // cannot make its log files) comes from a disk without room.
    virtual bool noRoom(const QSqlError &error, const AccountSetLocation &location) const = 0;
    // Why the account set cannot be written, told without a connection (after a failed open),
    // or nothing when that cannot be told.
    virtual QString readOnlyBeforeOpen(const AccountSetLocation &location) const = 0;
    // Why the account set cannot be written, or nothing when it can.
    virtual QString readOnlyReason(QSqlDatabase &db, const AccountSetLocation &location) const = 0;
    // The first damage the database finds in its own file, or nothing when it is whole.
    virtual QString damage(QSqlDatabase &db) const = 0;
    // What the account set's storage looks like now: state moves with every write, by this
    // program or any other, and is empty where the storage cannot tell (a server keeps its own
    // files whole). changedNs is the latest change time within state, in ns since the epoch.
    struct StorageLook {
        QByteArray state;
        qint64 changedNs = 0;
    };
    virtual StorageLook storageLook(const AccountSetLocation &location) const = 0;
    // Why a value cannot be stored as it is, or nothing when it can.
    virtual QString refusedValue(const QVariant &value) const = 0;

    // Triggers that refuse an inserted or updated row of table that breaks one of rules; the
    // first rule broken names the fault.
    virtual QStringList rowGuard(const QString &table,
                                 const QList<SqlDriver::RowRule> &rules) const = 0;
    // What Schema::drop must remove besides the table itself.
    virtual QStringList dropRowGuard(const QString &table) const = 0;
    // A table of the account set as a guard names it: with its schema where a session's own
    // temporary objects could otherwise stand in for it.
    virtual QString guardedName(const QString &table) const = 0;
    // Triggers that refuse to change or delete a row of table; they raise
    // SqlDriver::AppendOnlyMark.
    virtual QStringList appendOnly(const QString &table) const = 0;
    virtual QStringList dropAppendOnly(const QString &table) const = 0;
    // What appendOnly leaves to the keys where a write can replace a row without an UPDATE or a
    // DELETE: a new row whose key (column keyColumn) exists or is not above the last is refused.
    virtual QStringList appendOnlyKeys(const QString &table, const QString &keyColumn) const = 0;

    // Whether the database grants rights to roles; where it does not, whoever opens the account
    // set may do all.
    virtual bool hasRoles() const = 0;
    // What the connecting role may do. Raises QueryFailed when the server does not answer.
    virtual SqlDriver::Rights rights(QSqlDatabase &db) const = 0;
    // The account set user that the audit log records.
    virtual QString currentUser(QSqlDatabase &db) const = 0;

    // A query that answers the same text for as long as nothing has been written to the
    // database, by this connection or any other; what is kept from the data compares it.
    virtual QString dataVersionQuery() const = 0;
    // The statement that brings the planner's statistics of the tables up to date, or nothing
    // where none is needed.
    virtual QString statisticsUpdate(const QStringList &tables) const = 0;
    // Whether each statement is a round trip to a server. Where it is, many rows are written by
    // a few set-based statements; where it is not, by a statement prepared once and run per row.
    virtual bool roundTripPerStatement() const = 0;
    // A condition that column holds one of a list of IDs, bound as the one value idList makes:
    // a list of any length is one statement, prepared once, with nothing spliced into its text.
    virtual QString oneOfIds(const QString &column) const = 0;
    virtual QVariant idList(const QList<qint32> &ids) const = 0;

protected:
    // The IDs as decimal numbers separated by commas.
    static QString joinedIds(const QList<qint32> &ids)
    {
        QString text;
        text.reserve(ids.size() * 8);
        for (const qint32 id : ids) {
            if (!text.isEmpty())
                text += u',';
            text += QString::number(id);
        }
        return text;
    }
    // text as an SQL string literal.
    static QString quoted(QString text)
    {
        return u'\'' + text.replace(u'\'', QStringLiteral("''")) + u'\'';
    }
};

} // namespace FixedAssets
