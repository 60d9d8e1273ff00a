#include "accountset/SqlDriver.h"

#include "accountset/AccountSetErrors.h"
#include "accountset/OutsideText.h"
#include "accountset/PostgresDialect.h"
#include "accountset/SqliteDialect.h"
#include "host/MMTS.h"

#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>

using namespace Qt::StringLiterals;
using AllocFix::MMTS::LoadLangString;

namespace FixedAssets {

namespace {

// The one place where the kind of a location picks what its connections speak.
const SqlDialect &dialectOf(AccountSetLocation::Kind kind)
{
    static const SqliteDialect sqlite;
    static const PostgresDialect postgres;
    if (kind == AccountSetLocation::Kind::SQLite)
        return sqlite;
    return postgres;
}

[[noreturn]] void raiseCannotOpen(const AccountSetLocation &location, const QString &reason)
{
    throw AllocFix::Failure(AccountSetError::CannotOpen,
                            LoadLangString(u"无法打开账套 %1：%2"_s).arg(location.shown(), reason),
                            AccountSetError::Source);
}

void execOrRaise(QSqlDatabase &db, const QString &sql)
{
    QSqlQuery query(db);
    if (!query.exec(sql)) {
        throw AllocFix::Failure(AccountSetError::QueryFailed,
                                SqlDriver::reasonOf(db, query.lastError()),
                                AccountSetError::Source);
    }
}

// The handle of a connection's driver when it is of one of the types named.
void *driverHandle(const QSqlDatabase &db, std::initializer_list<const char *> typeNames)
{
    if (!db.driver())
        return nullptr;
    const QVariant handle = db.driver()->handle();
    for (const char *typeName : typeNames) {
        if (handle.isValid() && qstrcmp(handle.typeName(), typeName) == 0)
            return *static_cast<void *const *>(handle.constData());
    }
    return nullptr;
}

} // namespace

SqlDriver::SqlDriver(AccountSetLocation::Kind kind)
    : m_kind(kind)
    , m_dialect(&dialectOf(kind))
{}

// A file that cannot be opened on a full disk or a read-only mount says so.
void SqlDriver::raiseOpenFailure(QSqlDatabase &db, const AccountSetLocation &location,
                                 const QSqlError &error) const
{
    const QString reason = error.text().simplified();
    db.close();
    if (m_dialect->noRoom(error, location))
        raiseNoRoom(location, reason);
    const QString readOnly = m_dialect->readOnlyBeforeOpen(location);
    if (!readOnly.isEmpty())
        raiseReadOnly(location, readOnly);
    raiseCannotOpen(location, reason);
}

QSqlDatabase SqlDriver::addConnection(const AccountSetLocation &location, const QString &name) const
{
    return m_dialect->addConnection(location, name);
}

void SqlDriver::restoreSecrets(AccountSetLocation &location, const QSqlDatabase &connection)
{
    if (location.password.isEmpty())
        location.password = connection.password();
    // The options as PostgresDialect::addConnection wrote them: name='value', with \ and '
    // escaped.
    static const QRegularExpression option(u"(\\w+)='((?:[^'\\\\]|\\\\.)*)'"_s);
    static const QRegularExpression escape(u"\\\\(.)"_s);
    for (auto options = option.globalMatch(connection.connectOptions()); options.hasNext();) {
        const QRegularExpressionMatch match = options.next();
        const QString key = match.captured(1);
        const bool known =
            std::any_of(location.parameters.cbegin(), location.parameters.cend(),
                        [&key](const auto &parameter) { return parameter.first == key; });
        if (AccountSetLocation::isSecret(key) && !known)
            location.parameters.append({key, match.captured(2).replace(escape, u"\\1"_s)});
    }
}

void SqlDriver::open(QSqlDatabase &db, const AccountSetLocation &location) const
{
    if (!db.isValid())
        raiseCannotOpen(location, LoadLangString(u"没有安装 Qt SQL 驱动"_s));
    if (!db.open())
        raiseOpenFailure(db, location, db.lastError());
    QSqlQuery probe(db);
    if (!probe.exec(m_dialect->probeQuery())) {
        const QSqlError error = probe.lastError();
        probe.finish();
        raiseOpenFailure(db, location, error);
    }
    probe.finish();
    const QStringList settings = m_dialect->sessionSettings();
    for (const QString &sql : settings)
        execOrRaise(db, sql);
}

QSqlError SqlDriver::beginWrite(QSqlDatabase &db) const
{
    return m_dialect->beginWrite(db);
}

QString SqlDriver::reasonOf(const QSqlDatabase &db, const QSqlError &error)
{
    const QString text = OutsideText::shown(error.text().simplified());
    if (!text.isEmpty())
        return text;
    // The driver sets no error for a call on a connection it has already found broken.
    return db.isOpen() ? LoadLangString(u"数据库没有给出原因"_s)
                       : LoadLangString(u"与数据库的连接已断开"_s);
}

sqlite3 *SqlDriver::sqliteHandle(const QSqlDatabase &db)
{
    return static_cast<sqlite3 *>(driverHandle(db, {"sqlite3*"}));
}

pg_conn *SqlDriver::postgresHandle(const QSqlDatabase &db)
{
    // Qt names the type after the struct or after its typedef.
    return static_cast<pg_conn *>(driverHandle(db, {"pg_conn*", "PGconn*"}));
}

} // namespace FixedAssets
