#include "accountset/AccountSet.h"

#include "accountset/AccountSetErrors.h"
#include "accountset/PreparedStatement.h"
#include "accountset/Schema.h"
#include "host/MMTS.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryFile>

#include <filesystem>

using namespace Qt::StringLiterals;
using AllocFix::MMTS::LoadLangString;

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

// The pooled connections whose database passed the integrity check in this process.
QSet<QString> &intactConnections()
{
    static QSet<QString> names;
    return names;
}

// The rights of each pooled connection's role, as the server told them.
QHash<QString, SqlDriver::Rights> &connectionRights()
{
    static QHash<QString, SqlDriver::Rights> rights;
    return rights;
}

// Removes a named connection; every QSqlDatabase copy of it must be gone by then.
void removeConnection(const QString &name)
{
    intactConnections().remove(name);
    connectionRights().remove(name);
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

[[noreturn]] void raiseFolder(const QString &path)
{
    throw AllocFix::Failure(
        AccountSetError::CannotOpen,
        LoadLangString(u"%1 是文件夹，不是账套文件；请指定其中的文件"_s).arg(path),
        AccountSetError::Source);
}

void checkFileExists(const AccountSetLocation &location)
{
    // The location's kind, not the dialect: this runs before any connection, which would make
    // an empty file where none is.
    if (location.kind != AccountSetLocation::Kind::SQLite)
        return;
    const QFileInfo file(location.path);
    if (file.isDir())
        raiseFolder(location.path);
    if (!file.isFile()) {
        throw AllocFix::Failure(AccountSetError::CannotOpen,
                                LoadLangString(u"账套文件 %1 不存在"_s).arg(location.path),
                                AccountSetError::Source);
    }
}

[[noreturn]] void raiseCannotCreate(const AccountSetLocation &location, const QString &why)
{
    throw AllocFix::Failure(AccountSetError::CannotOpen,
                            LoadLangString(u"无法创建账套 %1：%2"_s).arg(location.path, why),
                            AccountSetError::Source);
}

// The mode of the file a new set replaces, or owner-only for a set that replaces nothing.
std::filesystem::perms modeFor(const std::filesystem::path &target)
{
    using std::filesystem::perms;
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(target, error);
    if (error || !std::filesystem::exists(status))
        return perms::owner_read | perms::owner_write;
    return status.permissions();
}

// A file in write-ahead-log mode keeps part of itself in "-wal" and "-shm" files beside it, and a
// program that has it open goes on using them: a new file moved into its place would take over
// the old one's log. So the old file leaves that mode first, which it can only while no other
// program has it open.
void leaveWriteAheadLog(const AccountSetLocation &location)
{
    if (!QFileInfo::exists(location.path + u"-wal"_s) &&
        !QFileInfo::exists(location.path + u"-shm"_s)) {
        return;
    }
    const QString name = u"FixedAssets.replaced "_s + location.url();
    QString mode;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, name);
        db.setDatabaseName(location.path);
        if (db.open()) {
            QSqlQuery query(db);
            if (query.exec(u"PRAGMA journal_mode = DELETE"_s) && query.next())
                mode = query.value(0).toString();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    if (mode.compare(u"delete"_s, Qt::CaseInsensitive) != 0) {
        throw AllocFix::Failure(
            AccountSetError::CannotOpen,
            LoadLangString(u"无法替换账套 %1：另一个程序正打开它。请在那里关闭后重试。"_s)
                .arg(location.path),
            AccountSetError::Source);
    }
}

} // namespace

AccountSet::AccountSet(AccountSetLocation location, QString connectionName)
    : m_location(std::move(location))
    , m_driver(m_location.kind)
    , m_connectionName(std::move(connectionName))
{}

AccountSet AccountSet::open(const AccountSetLocation &location)
{
    const QString name = connectionNameOf(location);
    AccountSetLocation reopened = location;
    if (QSqlDatabase::contains(name)) {
        {
            const QSqlDatabase pooled = QSqlDatabase::database(name, false);
            if (pooled.isOpen())
                return AccountSet(location, name);
            // A connection the server dropped. The property string carries no secrets, so
            // open it again with those it was first opened with.
            SqlDriver::restoreSecrets(reopened, pooled);
        }
        removeConnection(name);
    }

    checkFileExists(reopened);
    openConnection(reopened, name);
    AccountSet set(location, name);
    try {
        int version = Schema::versionOf(set);
        if (version < Schema::CurrentVersion)
            version = Schema::upgrade(set);
        if (version > Schema::CurrentVersion) {
            throw AllocFix::Failure(
                AccountSetError::TooNew,
                LoadLangString(
                    u"账套 %1 由更新的程序创建（结构版本 %2；本程序最高支持 %3）。请用更新的程序打开。"_s)
                    .arg(location.shown(), QString::number(version),
                         QString::number(Schema::CurrentVersion)),
                AccountSetError::Source);
        }
        QSqlDatabase db = set.database();
        set.driver().dialect().letReadersPassWriters(db);
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

    // A server's set is replaced in place, in one transaction; a file is built beside the
    // target and moved over it. That is the location's affair, not the dialect's.
    if (location.kind == AccountSetLocation::Kind::PostgreSQL) {
        close(location);
        const QString name = connectionNameOf(location);
        openConnection(location, name);
        try {
            const AccountSet replaced(location, name);
            if (replaced.database().tables().contains(u"profile"_s, Qt::CaseInsensitive))
                replaced.requireRight(Right::Own);
            build(replaced);
        } catch (...) {
            removeConnection(name);
            throw;
        }
        return AccountSet(location, name);
    }

    const QFileInfo target(location.path);
    if (target.isDir())
        raiseFolder(location.path);
    if (!QFileInfo(target.absolutePath()).isDir())
        raiseCannotCreate(location,
                          LoadLangString(u"文件夹 %1 不存在"_s).arg(target.absolutePath()));
    // Built beside the target under a name of its own, owner-only, and moved over the target
    // only when complete.
    QTemporaryFile stagingFile(location.path + u".new-XXXXXX"_s);
    stagingFile.setAutoRemove(false);
    if (!stagingFile.open())
        raiseCannotCreate(location, stagingFile.errorString());
    stagingFile.close();
    AccountSetLocation staging = location;
    staging.path = stagingFile.fileName();
    const QString stagingName = connectionNameOf(staging);
    const std::filesystem::path stagingPath = QFile::encodeName(staging.path).toStdString();
    const std::filesystem::path targetPath = QFile::encodeName(location.path).toStdString();
    try {
        openConnection(staging, stagingName);
        build(AccountSet(staging, stagingName));
        removeConnection(stagingName);
        close(location);
        leaveWriteAheadLog(location);
        // A replaced set keeps its mode; a new one is for its owner only.
        std::error_code error;
        std::filesystem::permissions(stagingPath, modeFor(targetPath), error);
        if (!error)
            std::filesystem::rename(stagingPath, targetPath, error);
        if (error)
            raiseCannotCreate(location, QString::fromStdString(error.message()));
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
            raise(query.lastError());
        return query;
    }
    requireStorable(values);
    if (!query.prepare(sql))
        raise(query.lastError());
    for (const QVariant &value : values)
        query.addBindValue(value);
    if (!query.exec())
        raise(query.lastError());
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

void AccountSet::requireStorable(const QVariantList &values) const
{
    for (const QVariant &value : values) {
        const QString refused = m_driver.dialect().refusedValue(value);
        if (!refused.isEmpty()) {
            throw AllocFix::Failure(
                AccountSetError::QueryFailed,
                LoadLangString(u"账套 %1 不能存储一个值：%2"_s).arg(m_location.shown(), refused),
                AccountSetError::Source);
        }
    }
}

void AccountSet::updateStatistics(const QStringList &tables) const
{
    // The server's own catalogs are a superuser's to analyze, and the account set's tables its
    // owner's: the server would warn anyone else, and skip them.
    const QStringList ours = Schema::tableNames();
    QStringList analyzed = tables.isEmpty() ? ours : tables;
    const auto rights = connectionRights().constFind(m_connectionName);
    if (rights != connectionRights().cend() && !rights->own)
        analyzed.removeIf([&ours](const QString &table) { return ours.contains(table); });
    const QString sql =
        analyzed.isEmpty() ? QString() : m_driver.dialect().statisticsUpdate(analyzed);
    if (!sql.isEmpty())
        exec(sql);
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

void AccountSet::requireWritableAndIntact() const
{
    QSqlDatabase db = database();
    const QString readOnly = m_driver.dialect().readOnlyReason(db, m_location);
    if (!readOnly.isEmpty())
        raiseReadOnly(m_location, readOnly);
    if (intactConnections().contains(m_connectionName))
        return;
    const QString damage = m_driver.dialect().damage(db);
    if (!damage.isEmpty())
        raiseDamaged(m_location, damage);
    intactConnections().insert(m_connectionName);
}

void AccountSet::requireRight(Right right) const
{
    auto rights = connectionRights().constFind(m_connectionName);
    if (rights == connectionRights().cend()) {
        QSqlDatabase db = database();
        rights = connectionRights().insert(m_connectionName, m_driver.dialect().rights(db));
    }
    if (right == Right::Save && !rights->save) {
        throw AllocFix::Failure(
            AccountSetError::NotPermitted,
            LoadLangString(u"你的角色只能读取这个账套（%1）"_s).arg(rights->role),
            AccountSetError::Source);
    }
    if (right == Right::Own && !rights->own) {
        throw AllocFix::Failure(
            AccountSetError::NotPermitted,
            LoadLangString(u"你的角色不能创建、升级或替换这个账套，也不能授予它的角色（%1）"_s)
                .arg(rights->role),
            AccountSetError::Source);
    }
}

void AccountSet::raise(const QSqlError &error) const
{
    const QString reason = SqlDriver::reasonOf(database(), error);
    SqlDriver::ErrorKind kind = m_driver.dialect().kindOf(error);
    if (m_driver.dialect().connectionLost(database()))
        kind = SqlDriver::ErrorKind::ConnectionLost;
    else if (m_driver.dialect().noRoom(error, m_location))
        kind = SqlDriver::ErrorKind::Full;
    switch (kind) {
    case SqlDriver::ErrorKind::Busy:
        throw AllocFix::Failure(
            AccountSetError::Busy,
            LoadLangString(u"另一个用户正在修改账套 %1。没有保存任何内容；请稍后重试。（%2）"_s)
                .arg(m_location.shown(), reason),
            AccountSetError::Source);
    case SqlDriver::ErrorKind::Full:
        raiseNoRoom(m_location, reason);
    case SqlDriver::ErrorKind::Damaged:
        raiseDamaged(m_location, reason);
    case SqlDriver::ErrorKind::ReadOnly:
        raiseReadOnly(m_location, reason);
    case SqlDriver::ErrorKind::ConnectionLost:
        // The server's own words; the driver's ("QPSQL: Unable to create query") add nothing.
        raiseConnectionLost(m_location, error.databaseText().isEmpty()
                                            ? reason
                                            : error.databaseText().simplified());
    case SqlDriver::ErrorKind::AppendOnly:
        throw AllocFix::Failure(AccountSetError::NotPermitted,
                                LoadLangString(u"审计日志只接受新条目；其条目不能修改或删除"_s),
                                AccountSetError::Source);
    case SqlDriver::ErrorKind::Other:
        break;
    }
    throw AllocFix::Failure(
        AccountSetError::QueryFailed,
        LoadLangString(u"账套 %1 拒绝了一个请求：%2"_s).arg(m_location.shown(), reason),
        AccountSetError::Source);
}

WriteTransaction::WriteTransaction(const AccountSet &set, Locking locking)
    : m_set(set)
    , m_db(set.database())
{
    if (locking == Locking::None) {
        if (!m_db.transaction())
            m_set.raise(m_db.lastError());
        return;
    }
    set.requireWritableAndIntact();
    set.requireRight(AccountSet::Right::Save);
    const QSqlError error = set.driver().beginWrite(m_db);
    if (error.type() != QSqlError::NoError)
        m_set.raise(error);
}

WriteTransaction::~WriteTransaction()
{
    if (m_open)
        m_db.rollback();
}

void WriteTransaction::commit()
{
    if (!m_db.commit())
        m_set.raise(m_db.lastError());
    m_open = false;
}

} // namespace FixedAssets
