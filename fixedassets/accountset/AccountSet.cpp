#include "accountset/AccountSet.h"

#include "accountset/AccountSetErrors.h"
#include "accountset/PreparedStatement.h"
#include "accountset/Schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>

#include <filesystem>

using namespace Qt::StringLiterals;

namespace FixedAssets {

namespace {

const QString PoolPrefix = u"FixedAssets "_s;

quint64 &closedCount()
{
    static quint64 count = 0;
    return count;
}

QString connectionNameOf(const AccountSetLocation &location)
{
    return PoolPrefix + location.url();
}

// Removes a named connection; every QSqlDatabase copy of it must be gone by then.
void removeConnection(const QString &name)
{
    if (!QSqlDatabase::contains(name))
        return;
    PreparedStatement::dropCache(name);
    ++closedCount();
    {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

// Opens a connection under name, or raises with the connection removed again.
void openConnection(const AccountSetLocation &location, const QString &name)
{
    const SqlDriver driver(location.kind);
    try {
        QSqlDatabase db = driver.addConnection(location, name);
        driver.open(db, location);
    } catch (...) {
        removeConnection(name);
        throw;
    }
}

void checkFileExists(const AccountSetLocation &location)
{
    if (location.kind == AccountSetLocation::Kind::SQLite && !QFileInfo(location.path).isFile()) {
        throw AllocFix::Failure(AccountSetError::CannotOpen,
                                u"There is no account set file %1"_s.arg(location.path),
                                AccountSetError::Source);
    }
}

} // namespace

void raiseQueryFailed(const QSqlError &error)
{
    throw AllocFix::Failure(
        AccountSetError::QueryFailed,
        u"The account set refused a request: %1"_s.arg(error.text().simplified()),
        AccountSetError::Source);
}

AccountSet::AccountSet(AccountSetLocation location, QString connectionName)
    : m_location(std::move(location))
    , m_driver(m_location.kind)
    , m_connectionName(std::move(connectionName))
{}

AccountSet AccountSet::open(const AccountSetLocation &location)
{
    const QString name = connectionNameOf(location);
    if (QSqlDatabase::contains(name)) {
        if (QSqlDatabase::database(name, false).isOpen())
            return AccountSet(location, name);
        removeConnection(name);
    }

    checkFileExists(location);
    openConnection(location, name);
    AccountSet set(location, name);
    try {
        const int version = Schema::versionOf(set);
        if (version > Schema::CurrentVersion) {
            throw AllocFix::Failure(
                AccountSetError::TooNew,
                u"The account set %1 was made by a newer program (schema version %2; this "
                "program knows up to %3). Use a newer program to open it."_s.arg(
                    location.url(), QString::number(version),
                    QString::number(Schema::CurrentVersion)),
                AccountSetError::Source);
        }
        if (version < Schema::CurrentVersion)
            Schema::upgrade(set, version);
    } catch (...) {
        removeConnection(name);
        throw;
    }
    return set;
}

AccountSet AccountSet::open(const QString &location)
{
    return open(AccountSetLocation::parse(location));
}

AccountSet AccountSet::fromProps(const QString &props)
{
    return open(AccountSetLocation::fromProps(props));
}

AccountSet AccountSet::create(const AccountSetLocation &location,
                              const std::function<void(const AccountSet &)> &fill)
{
    const auto build = [&fill](const AccountSet &set) {
        WriteTransaction transaction(set, WriteTransaction::Locking::None);
        Schema::drop(set);
        Schema::create(set);
        if (fill)
            fill(set);
        transaction.commit();
    };

    if (location.kind == AccountSetLocation::Kind::PostgreSQL) {
        close(location);
        const QString name = connectionNameOf(location);
        openConnection(location, name);
        try {
            build(AccountSet(location, name));
        } catch (...) {
            removeConnection(name);
            throw;
        }
        return AccountSet(location, name);
    }

    const QString directory = QFileInfo(location.path).absolutePath();
    if (!QFileInfo(directory).isDir()) {
        throw AllocFix::Failure(
            AccountSetError::CannotOpen,
            u"Cannot create the account set %1: the folder %2 does not exist"_s.arg(location.path,
                                                                                    directory),
            AccountSetError::Source);
    }
    // Built beside the target and moved over it only when complete.
    AccountSetLocation staging = location;
    staging.path = location.path + u".new"_s;
    QFile::remove(staging.path);
    const QString stagingName = connectionNameOf(staging);
    try {
        openConnection(staging, stagingName);
        build(AccountSet(staging, stagingName));
        removeConnection(stagingName);
        close(location);
        std::error_code error;
        std::filesystem::rename(QFile::encodeName(staging.path).toStdString(),
                                QFile::encodeName(location.path).toStdString(), error);
        if (error) {
            throw AllocFix::Failure(AccountSetError::CannotOpen,
                                    u"Cannot create the account set %1: %2"_s.arg(
                                        location.path, QString::fromStdString(error.message())),
                                    AccountSetError::Source);
        }
    } catch (...) {
        removeConnection(stagingName);
        QFile::remove(staging.path);
        throw;
    }
    return open(location);
}

void AccountSet::close(const AccountSetLocation &location)
{
    removeConnection(connectionNameOf(location));
}

void AccountSet::closeAll()
{
    const QStringList names = QSqlDatabase::connectionNames();
    for (const QString &name : names) {
        if (name.startsWith(PoolPrefix))
            removeConnection(name);
    }
}

quint64 AccountSet::closedConnections()
{
    return closedCount();
}

QSqlDatabase AccountSet::database() const
{
    return QSqlDatabase::database(m_connectionName, false);
}

QSqlQuery AccountSet::exec(const QString &sql, const QVariantList &values) const
{
    QSqlQuery query(database());
    query.setForwardOnly(true);
    // A statement without values runs as it is: PostgreSQL cannot prepare DDL.
    if (values.isEmpty()) {
        if (!query.exec(sql))
            raiseQueryFailed(query.lastError());
        return query;
    }
    if (!query.prepare(sql))
        raiseQueryFailed(query.lastError());
    for (const QVariant &value : values)
        query.addBindValue(value);
    if (!query.exec())
        raiseQueryFailed(query.lastError());
    return query;
}

QVariant AccountSet::scalar(const QString &sql, const QVariantList &values) const
{
    if (values.isEmpty()) {
        QSqlQuery query = exec(sql);
        return query.next() ? query.value(0) : QVariant();
    }
    PreparedStatement query(*this, sql);
    query.exec(values);
    return query.next() ? query.value(0) : QVariant();
}

QString AccountSet::profileValue(const QString &name) const
{
    return scalar(u"SELECT value FROM profile WHERE name = ?"_s, {name}).toString();
}

void AccountSet::setProfileValue(const QString &name, const QString &value) const
{
    exec(u"DELETE FROM profile WHERE name = ?"_s, {name});
    exec(u"INSERT INTO profile (name, value) VALUES (?, ?)"_s, {name, value});
}

WriteTransaction::WriteTransaction(const AccountSet &set, Locking locking)
    : m_db(set.database())
{
    if (locking == Locking::AccountSet)
        set.driver().beginWrite(m_db);
    else if (!m_db.transaction())
        raiseQueryFailed(m_db.lastError());
}

WriteTransaction::~WriteTransaction()
{
    if (m_open)
        m_db.rollback();
}

void WriteTransaction::commit()
{
    if (!m_db.commit())
        raiseQueryFailed(m_db.lastError());
    m_open = false;
}

} // namespace FixedAssets
