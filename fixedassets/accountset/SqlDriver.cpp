#include "accountset/SqlDriver.h"

#include "accountset/AccountSetErrors.h"
#include "host/MMTS.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>
#include <libpq-fe.h>

using namespace Qt::StringLiterals;
using AllocFix::MMTS::LoadLangString;

namespace FixedAssets {

namespace {

[[noreturn]] void raiseCannotOpen(const AccountSetLocation &location, const QString &reason)
{
    throw AllocFix::Failure(AccountSetError::CannotOpen,
                            LoadLangString(u"无法打开账套 %1：%2"_s).arg(location.shown(), reason),
                            AccountSetError::Source);
}

} // namespace

// A file that cannot be opened on a full disk or a read-only mount says so.
void SqlDriver::raiseOpenFailure(QSqlDatabase &db, const AccountSetLocation &location,
                                 const QSqlError &error) const
{
    const QString reason = error.text().simplified();
    db.close();
    if (noRoom(error, location))
        raiseNoRoom(location, reason);
    if (m_kind == AccountSetLocation::Kind::SQLite && QFileInfo::exists(location.path)) {
        const QString readOnly = readOnlyReason(db, location);
        if (!readOnly.isEmpty())
            raiseReadOnly(location, readOnly);
    }
    raiseCannotOpen(location, reason);
}

namespace {

void execOrRaise(QSqlDatabase &db, const QString &sql)
{
    QSqlQuery query(db);
    if (!query.exec(sql)) {
        throw AllocFix::Failure(AccountSetError::QueryFailed,
                                SqlDriver::reasonOf(db, query.lastError()),
                                AccountSetError::Source);
    }
}

// The location's libpq parameters in conninfo syntax; a connect timeout unless it names one.
QString connectOptions(const AccountSetLocation &location)
{
    QStringList options;
    bool timeout = false;
    for (const auto &[key, value] : location.parameters) {
        QString quoted = value;
        quoted.replace(u'\\', u"\\\\"_s).replace(u'\'', u"\\'"_s);
        options.append(key + u"='"_s + quoted + u'\'');
        timeout = timeout || key == u"connect_timeout";
    }
    if (!timeout)
        options.append(u"connect_timeout=5"_s);
    return options.join(u' ');
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

// One SQLite trigger per event, named after it, that runs body (statements) before each row of
// table the event touches.
QStringList sqliteTriggers(const QString &name, const QString &table, const QStringList &events,
                           const QString &body)
{
    QStringList statements;
    for (const QString &event : events) {
        statements.append(u"CREATE TRIGGER "_s + name + u'_' + event.toLower() + u" BEFORE "_s +
                          event + u" ON "_s + table + u" FOR EACH ROW BEGIN"_s + body + u" END"_s);
    }
    return statements;
}

} // namespace

QSqlDatabase SqlDriver::addConnection(const AccountSetLocation &location, const QString &name) const
{
    if (m_kind == AccountSetLocation::Kind::SQLite) {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, name);
        db.setDatabaseName(location.path);
        // Another user's save holds the write lock; wait for it rather than fail at once.
        db.setConnectOptions(u"QSQLITE_BUSY_TIMEOUT="_s + QString::number(LockTimeoutMs));
        return db;
    }
    // What the location leaves empty stays unset, so libpq takes it from its environment, the
    // password file or the service file.
    QSqlDatabase db = QSqlDatabase::addDatabase(u"QPSQL"_s, name);
    db.setHostName(location.host);
    db.setPort(location.port);
    db.setUserName(location.user);
    db.setPassword(location.password);
    db.setDatabaseName(location.database);
    db.setConnectOptions(connectOptions(location));
    return db;
}

void SqlDriver::restoreSecrets(AccountSetLocation &location, const QSqlDatabase &connection)
{
    if (location.password.isEmpty())
        location.password = connection.password();
    // The options as connectOptions wrote them: name='value', with \ and ' escaped.
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
    // SQLite opens any file lazily; only the first read tells a corrupt or foreign file.
    const QString sql = m_kind == AccountSetLocation::Kind::SQLite
                            ? u"SELECT count(*) FROM sqlite_master"_s
                            : u"SELECT 1"_s;
    if (!probe.exec(sql)) {
        const QSqlError error = probe.lastError();
        probe.finish();
        raiseOpenFailure(db, location, error);
    }
    probe.finish();
    if (m_kind == AccountSetLocation::Kind::PostgreSQL) {
        execOrRaise(db, u"SET lock_timeout = "_s + QString::number(LockTimeoutMs));
        // libpq prints the server's notices ("... does not exist, skipping") on stderr; the
        // program's own output is its messages only.
        execOrRaise(db, u"SET client_min_messages = warning"_s);
        return;
    }
    execOrRaise(db, u"PRAGMA foreign_keys = ON"_s);
}

void SqlDriver::letReadersPassWriters(QSqlDatabase &db) const
{
    if (m_kind == AccountSetLocation::Kind::PostgreSQL)
        return;
    // The mode is kept in the file. Switching needs the file to itself: while another program
    // has it open, this connection keeps the old mode and a later open switches.
    QSqlQuery(db).exec(u"PRAGMA journal_mode = WAL"_s);
}

QString SqlDriver::identityColumn() const
{
    return m_kind == AccountSetLocation::Kind::SQLite
               ? u"INTEGER PRIMARY KEY"_s
               : u"BIGINT GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY"_s;
}

QSqlError SqlDriver::beginWrite(QSqlDatabase &db) const
{
    QSqlQuery query(db);
    if (m_kind == AccountSetLocation::Kind::SQLite) {
        // A plain BEGIN takes the write lock only at the first write: a reader cannot become a
        // writer while another user writes, and SQLite refuses it at once instead of waiting.
        return query.exec(u"BEGIN IMMEDIATE"_s) ? QSqlError() : query.lastError();
    }
    if (!db.transaction())
        return db.lastError();
    if (query.exec(u"LOCK TABLE profile IN SHARE ROW EXCLUSIVE MODE"_s))
        return {};
    const QSqlError error = query.lastError();
    query.finish();
    db.rollback();
    return error;
}

QStringList SqlDriver::rowGuard(const QString &table, const QList<RowRule> &rules) const
{
    const QString name = table + u"_guard"_s;
    const auto quoted = [](QString text) -> QString {
        return u'\'' + text.replace(u'\'', u"''"_s) + u'\'';
    };
    if (m_kind == AccountSetLocation::Kind::SQLite) {
        QString body;
        for (const RowRule &rule : rules) {
            body += u" SELECT RAISE(ABORT, "_s + quoted(rule.message) + u") WHERE "_s +
                    rule.condition + u';';
        }
        return sqliteTriggers(name, table, {u"INSERT"_s, u"UPDATE"_s}, body);
    }
    QString body;
    for (const RowRule &rule : rules) {
        body += u" IF "_s + rule.condition +
                u" THEN RAISE EXCEPTION USING ERRCODE = 'check_violation', MESSAGE = "_s +
                quoted(rule.message) + u"; END IF;"_s;
    }
    return {
        u"CREATE OR REPLACE FUNCTION "_s + name +
            u"() RETURNS trigger LANGUAGE plpgsql AS $guard$ BEGIN"_s + body +
            u" RETURN NEW; END $guard$"_s,
        u"CREATE TRIGGER "_s + name + u" BEFORE INSERT OR UPDATE ON "_s + table +
            u" FOR EACH ROW EXECUTE FUNCTION "_s + name + u"()"_s,
    };
}

QStringList SqlDriver::dropRowGuard(const QString &table) const
{
    // SQLite drops a table's triggers with it; a PostgreSQL trigger function outlives them.
    if (m_kind == AccountSetLocation::Kind::SQLite)
        return {};
    return {u"DROP FUNCTION IF EXISTS "_s + table + u"_guard()"_s};
}

QStringList SqlDriver::appendOnly(const QString &table) const
{
    const QString name = table + u"_append_only"_s;
    // A mark, not a sentence: the program tells the user in the user's language (kindOf).
    const QString message = AppendOnlyMark;
    if (m_kind == AccountSetLocation::Kind::SQLite) {
        return sqliteTriggers(name, table, {u"UPDATE"_s, u"DELETE"_s},
                              u" SELECT RAISE(ABORT, '"_s + message + u"');"_s);
    }
    return {
        u"CREATE OR REPLACE FUNCTION "_s + name +
            u"() RETURNS trigger LANGUAGE plpgsql AS $append$ BEGIN"
            " IF NOT pg_has_role(current_user,"
            " (SELECT relowner FROM pg_class WHERE oid = TG_RELID), 'USAGE') THEN"
            " RAISE EXCEPTION USING ERRCODE = 'insufficient_privilege', MESSAGE = '"_s +
            message +
            u"'; END IF;"
            " IF TG_OP = 'DELETE' THEN RETURN OLD; END IF; RETURN NEW; END $append$"_s,
        u"CREATE TRIGGER "_s + name + u" BEFORE UPDATE OR DELETE ON "_s + table +
            u" FOR EACH ROW EXECUTE FUNCTION "_s + name + u"()"_s,
        u"CREATE TRIGGER "_s + name + u"_truncate BEFORE TRUNCATE ON "_s + table +
            u" FOR EACH STATEMENT EXECUTE FUNCTION "_s + name + u"()"_s,
    };
}

QStringList SqlDriver::dropAppendOnly(const QString &table) const
{
    if (m_kind == AccountSetLocation::Kind::SQLite)
        return {};
    return {u"DROP FUNCTION IF EXISTS "_s + table + u"_append_only()"_s};
}

SqlDriver::Rights SqlDriver::rights(QSqlDatabase &db) const
{
    if (m_kind == AccountSetLocation::Kind::SQLite)
        return {};
    // The owner of the tables (or a member of it, or a superuser) owns the set. A set before the
    // audit log has no audit_log to write, so to_regclass.
    QSqlQuery query(db);
    const bool answered =
        query.exec(u"SELECT pg_has_role(current_user, c.relowner, 'USAGE'),"
                   " coalesce(has_table_privilege(to_regclass('expense_rows'), 'INSERT')"
                   " AND has_table_privilege(to_regclass('expense_row_items'), 'INSERT')"
                   " AND has_table_privilege(to_regclass('manual_queue'), 'INSERT')"
                   " AND has_table_privilege(to_regclass('audit_log'), 'INSERT'), false),"
                   " coalesce((SELECT rolname FROM pg_roles WHERE rolname IN"
                   " ('allocfix_owner', 'allocfix_accountant', 'allocfix_viewer')"
                   " AND pg_has_role(current_user, oid, 'MEMBER')"
                   " ORDER BY CASE rolname WHEN 'allocfix_owner' THEN 1"
                   " WHEN 'allocfix_accountant' THEN 2 ELSE 3 END LIMIT 1), current_user)"
                   " FROM pg_class c WHERE c.oid = to_regclass('profile')"_s) &&
        query.next();
    if (!answered) {
        throw AllocFix::Failure(
            AccountSetError::QueryFailed,
            LoadLangString(u"服务器没有告知用户的权限：%1"_s).arg(reasonOf(db, query.lastError())),
            AccountSetError::Source);
    }
    const bool own = query.value(0).toBool();
    return {own || query.value(1).toBool(), own, query.value(2).toString()};
}

QString SqlDriver::currentUser(QSqlDatabase &db) const
{
    if (m_kind == AccountSetLocation::Kind::PostgreSQL) {
        // A failure here is the connection's, and must reach the save with the server's text.
        QSqlQuery query(db);
        if (!query.exec(u"SELECT current_user"_s) || !query.next()) {
            throw AllocFix::Failure(AccountSetError::QueryFailed,
                                    LoadLangString(u"服务器没有给出当前用户：%1"_s)
                                        .arg(reasonOf(db, query.lastError())),
                                    AccountSetError::Source);
        }
        return query.value(0).toString();
    }
    const QString user = qEnvironmentVariable("USER", qEnvironmentVariable("USERNAME"));
    return user.isEmpty() ? u"unknown"_s : user;
}

QString SqlDriver::reasonOf(const QSqlDatabase &db, const QSqlError &error)
{
    const QString text = error.text().simplified();
    if (!text.isEmpty())
        return text;
    // The driver sets no error for a call on a connection it has already found broken.
    return db.isOpen() ? LoadLangString(u"数据库没有给出原因"_s)
                       : LoadLangString(u"与数据库的连接已断开"_s);
}

QString SqlDriver::readOnlyReason(QSqlDatabase &db, const AccountSetLocation &location) const
{
    if (m_kind == AccountSetLocation::Kind::PostgreSQL) {
        QSqlQuery query(db);
        if (query.exec(u"SHOW transaction_read_only"_s) && query.next() &&
            query.value(0).toString() == u"on")
            return LoadLangString(u"服务器不接受修改（transaction_read_only 为 on）"_s);
        return {};
    }
    // A set without any write bit is meant to stay as it is, even for a user (such as root)
    // whom the system would let write.
    constexpr QFileDevice::Permissions anyWrite =
        QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    const QFileInfo file(location.path);
    if (!file.isWritable() || !(file.permissions() & anyWrite))
        return LoadLangString(u"文件 %1 是只读的"_s).arg(location.path);
    // Every save writes its journal beside the file.
    const QFileInfo folder(file.absolutePath());
    if (!folder.isWritable() || !(folder.permissions() & anyWrite))
        return LoadLangString(u"其文件夹 %1 是只读的"_s).arg(folder.filePath());
    return {};
}

QString SqlDriver::damage(QSqlDatabase &db) const
{
    if (m_kind == AccountSetLocation::Kind::PostgreSQL)
        return {};
    QSqlQuery check(db);
    if (!check.exec(u"PRAGMA quick_check(1)"_s)) {
        if (kindOf(check.lastError()) == ErrorKind::Damaged)
            return check.lastError().databaseText();
        throw AllocFix::Failure(AccountSetError::QueryFailed, reasonOf(db, check.lastError()),
                                AccountSetError::Source);
    }
    const QString result = check.next() ? check.value(0).toString() : QString();
    return result == u"ok" ? QString() : result.simplified();
}

SqlDriver::ErrorKind SqlDriver::kindOf(const QSqlError &error) const
{
    const QString code = error.nativeErrorCode();
    if (m_kind == AccountSetLocation::Kind::SQLite) {
        // Primary result codes; the low byte of an extended one.
        constexpr int Busy = 5;
        constexpr int Locked = 6;
        constexpr int ReadOnly = 8;
        constexpr int Corrupt = 11;
        constexpr int Full = 13;
        constexpr int NotADatabase = 26;
        constexpr int Error = 1;
        if (error.databaseText().contains(AppendOnlyMark))
            return ErrorKind::AppendOnly;
        if ((code.toInt() & 0xff) == Error &&
            error.databaseText().startsWith(u"no such "_s)) // table, column
            return ErrorKind::Damaged;
        switch (code.toInt() & 0xff) {
        case Busy:
        case Locked:
            return ErrorKind::Busy;
        case Full:
            return ErrorKind::Full;
        case Corrupt:
        case NotADatabase:
            return ErrorKind::Damaged;
        case ReadOnly:
            return ErrorKind::ReadOnly;
        default:
            return ErrorKind::Other;
        }
    }
    // SQLSTATE: lock_not_available, deadlock_detected; disk_full; data_corrupted,
    // index_corrupted, undefined_table, undefined_column; connection_exception (class 08),
    // admin_shutdown, crash_shutdown, cannot_connect_now; read_only_sql_transaction.
    if (error.databaseText().contains(AppendOnlyMark))
        return ErrorKind::AppendOnly;
    if (code == u"55P03" || code == u"40P01")
        return ErrorKind::Busy;
    if (code == u"53100")
        return ErrorKind::Full;
    if (code == u"XX001" || code == u"XX002" || code == u"42P01" || code == u"42703")
        return ErrorKind::Damaged;
    if (code.startsWith(u"08"_s) || code == u"57P01" || code == u"57P02" || code == u"57P03")
        return ErrorKind::ConnectionLost;
    return code == u"25006" ? ErrorKind::ReadOnly : ErrorKind::Other;
}

bool SqlDriver::connectionLost(const QSqlDatabase &db) const
{
    if (m_kind != AccountSetLocation::Kind::PostgreSQL || !db.isOpen())
        return m_kind == AccountSetLocation::Kind::PostgreSQL;
    const pg_conn *connection = postgresHandle(db);
    return !connection || PQstatus(connection) == CONNECTION_BAD;
}

bool SqlDriver::noRoom(const QSqlError &error, const AccountSetLocation &location) const
{
    if (m_kind != AccountSetLocation::Kind::SQLite)
        return false;
    constexpr int IoError = 10;
    constexpr int Full = 13;
    constexpr int CannotOpen = 14;
    const int code = error.nativeErrorCode().toInt() & 0xff;
    if (code == Full)
        return true;
    // Less room than SQLite needs for the shared-memory index of its log.
    return (code == IoError || code == CannotOpen) && noRoomBeside(location.path);
}

QString SqlDriver::refusedValue(const QVariant &value) const
{
    // The server's text type has no NUL, and the driver would cut the statement short at it.
    if (m_kind == AccountSetLocation::Kind::PostgreSQL &&
        value.metaType().id() == QMetaType::QString && value.toString().contains(QChar(0)))
        return LoadLangString(u"PostgreSQL 不能存储含有 NUL 字符（U+0000）的文本"_s);
    return {};
}

QString SqlDriver::dataVersionQuery() const
{
    // SQLite's data version moves with every commit of another connection, total_changes with
    // every row this one writes. PostgreSQL sees the same data under the same snapshot (the
    // transactions committed and in progress); a write of this transaction has an ID of its own.
    return m_kind == AccountSetLocation::Kind::SQLite
               ? u"SELECT data_version || '/' || total_changes() FROM pragma_data_version"_s
               : u"SELECT pg_current_snapshot()::text || '/' ||"
                 " coalesce(pg_current_xact_id_if_assigned()::text, '')"_s;
}

QString SqlDriver::statisticsUpdate(const QStringList &tables) const
{
    if (m_kind == AccountSetLocation::Kind::SQLite)
        return {};
    return u"ANALYZE "_s + tables.join(u", "_s);
}

sqlite3 *SqlDriver::sqliteHandle(const QSqlDatabase &db) const
{
    if (m_kind != AccountSetLocation::Kind::SQLite)
        return nullptr;
    return static_cast<sqlite3 *>(driverHandle(db, {"sqlite3*"}));
}

pg_conn *SqlDriver::postgresHandle(const QSqlDatabase &db) const
{
    if (m_kind != AccountSetLocation::Kind::PostgreSQL)
        return nullptr;
    // Qt names the type after the struct or after its typedef.
    return static_cast<pg_conn *>(driverHandle(db, {"pg_conn*", "PGconn*"}));
}

} // namespace FixedAssets
