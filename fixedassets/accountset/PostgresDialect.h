#pragma once

#include "accountset/SqlDialect.h"

namespace FixedAssets {

// An account set on a PostgreSQL server: roles and grants, a lock timeout set per session.
class PostgresDialect final : public SqlDialect {
public:
    QSqlDatabase addConnection(const AccountSetLocation &location,
                               const QString &name) const override;
    QString probeQuery() const override;
    QStringList sessionSettings() const override;
    void letReadersPassWriters(QSqlDatabase &db) const override;
    void requireExisting(const AccountSetLocation &location) const override;
    void replace(const AccountSetLocation &location,
                 const std::function<void(const AccountSet &)> &build) const override;

    QString identityColumn() const override;
    QSqlError beginWrite(QSqlDatabase &db) const override;
    SqlDriver::ErrorKind kindOf(const QSqlError &error) const override;
    bool connectionLost(const QSqlDatabase &db) const override;
    bool noRoom(const QSqlError &error, const AccountSetLocation &location) const override;
    QString readOnlyBeforeOpen(const AccountSetLocation &location) const override;
    QString readOnlyReason(QSqlDatabase &db, const AccountSetLocation &location) const override;
    QString damage(QSqlDatabase &db) const override;
    StorageLook storageLook(const AccountSetLocation &location) const override;
    QString refusedValue(const QVariant &value) const override;

    QStringList rowGuard(const QString &table,
                         const QList<SqlDriver::RowRule> &rules) const override;
    QStringList dropRowGuard(const QString &table) const override;
    QStringList appendOnly(const QString &table) const override;
    QStringList dropAppendOnly(const QString &table) const override;
    QString guardedName(const QString &table) const override;
    QStringList appendOnlyKeys(const QString &table, const QString &keyColumn) const override;

    bool hasRoles() const override;
    SqlDriver::Rights rights(QSqlDatabase &db) const override;
    QString currentUser(QSqlDatabase &db) const override;

    QString dataVersionQuery() const override;
    QString statisticsUpdate(const QStringList &tables) const override;
    bool roundTripPerStatement() const override;
    QString oneOfIds(const QString &column) const override;
    QVariant idList(const QList<qint32> &ids) const override;
};

} // namespace FixedAssets
