#include "accountset/AccountSet.h"

#include "accountset/AccountSetErrors.h"
#include "accountset/ConnectionPool.h"
#include "accountset/IntegrityNotes.h"
#include "accountset/PreparedStatement.h"
#include "accountset/Schema.h"
#include "host/MMTS.h"

#include <QSqlError>
#include <QSqlQuery>

using namespace Qt::StringLiterals;
using AllocFix::MMTS::LoadLangString;

namespace FixedAssets {

namespace {

quint64 &wholeChecksRun()
{
    static quint64 count = 0;
    return count;
}

} // namespace

AccountSet::AccountSet(AccountSetLocation location, QString connectionName)
    : m_location(std::move(location))
    , m_driver(m_location.kind)
    , m_connectionName(std::move(connectionName))
{}

AccountSet AccountSet::open(const AccountSetLocation &location)
{
    const QString name = ConnectionPool::nameOf(location);
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
        ConnectionPool::remove(name);
    }

    SqlDriver(reopened.kind).dialect().requireExisting(reopened);
    const AccountSet set = ConnectionPool::connect(reopened);
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
        ConnectionPool::remove(name);
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

    // A server's set is replaced in place, a file is built beside its target: the dialect's
    // affair. Either way the new set is then open in the pool.
    const SqlDialect &dialect = SqlDriver(location.kind).dialect();
    dialect.replace(location, build);
    AccountSet set = open(location);
    // Built whole by this program: nothing to check until another one touches it.
    IntegrityNotes::rememberWhole(dialect, location, dialect.storageLook(location));
    return set;
}

void AccountSet::close(const AccountSetLocation &location)
{
    ConnectionPool::remove(ConnectionPool::nameOf(location));
}

void AccountSet::closeAll()
{
    ConnectionPool::removeAll();
}

quint64 AccountSet::wholeChecks()
{
    return wholeChecksRun();
}

quint64 AccountSet::closedConnections()
{
    return ConnectionPool::closedCount();
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
    const auto rights = ConnectionPool::rights().constFind(m_connectionName);
    if (rights != ConnectionPool::rights().cend() && !rights->own)
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
    if (ConnectionPool::intact().contains(m_connectionName))
        return;
    const SqlDialect &dialect = m_driver.dialect();
    const SqlDialect::StorageLook look = dialect.storageLook(m_location);
    if (!IntegrityNotes::knownWhole(m_location, look)) {
        ++wholeChecksRun();
        const QString damage = dialect.damage(db);
        if (!damage.isEmpty())
            raiseDamaged(m_location, damage);
        // Whole as it looked when the check began, if nobody wrote during it.
        if (dialect.storageLook(m_location).state == look.state)
            IntegrityNotes::rememberWhole(dialect, m_location, look);
    }
    ConnectionPool::intact().insert(m_connectionName);
}

void AccountSet::requireRight(Right right) const
{
    auto rights = ConnectionPool::rights().constFind(m_connectionName);
    if (rights == ConnectionPool::rights().cend()) {
        QSqlDatabase db = database();
        rights = ConnectionPool::rights().insert(m_connectionName, m_driver.dialect().rights(db));
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
    // Under the write lock: only this transaction moves the set until it ends.
    m_wholeBefore = IntegrityNotes::knownWhole(set.location(),
                                               set.driver().dialect().storageLook(set.location()));
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
    if (m_wholeBefore) {
        const SqlDialect &dialect = m_set.driver().dialect();
        IntegrityNotes::rememberWhole(dialect, m_set.location(),
                                      dialect.storageLook(m_set.location()));
    }
}

} // namespace FixedAssets
