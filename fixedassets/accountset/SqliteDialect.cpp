#include "accountset/SqliteDialect.h"

#include "accountset/AccountSetErrors.h"
#include "host/MMTS.h"

#include <QFileInfo>
#include <QSqlQuery>

using namespace Qt::StringLiterals;
using AllocFix::MMTS::LoadLangString;

namespace FixedAssets {

namespace {

// One trigger per event, named after it, that runs body (statements) before each row of table
// the event touches.
QStringList triggers(const QString &name, const QString &table, const QStringList &events,
                     const QString &body)
{
    QStringList statements;
    for (const QString &event : events) {
        statements.append(u"CREATE TRIGGER "_s + name + u'_' + event.toLower() + u" BEFORE "_s +
                          event + u" ON "_s + table + u" FOR EACH ROW BEGIN"_s + body + u" END"_s);
    }
    return statements;
}

// Why the file cannot be written, or nothing when it can.
QString fileReadOnlyReason(const QString &path)
{
    // A set without any write bit is meant to stay as it is, even for a user (such as root)
    // whom the system would let write.
    constexpr QFileDevice::Permissions anyWrite =
        QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    const QFileInfo file(path);
    if (!file.isWritable() || !(file.permissions() & anyWrite))
        return LoadLangString(u"文件 %1 是只读的"_s).arg(path);
    // Every save writes its journal beside the file.
    const QFileInfo folder(file.absolutePath());
    if (!folder.isWritable() || !(folder.permissions() & anyWrite))
        return LoadLangString(u"其文件夹 %1 是只读的"_s).arg(folder.filePath());
    return {};
}

} // namespace

QSqlDatabase SqliteDialect::addConnection(const AccountSetLocation &location,
                                          const QString &name) const
{
    QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, name);
    db.setDatabaseName(location.path);
    // Another user's save holds the write lock; wait for it rather than fail at once.
    db.setConnectOptions(u"QSQLITE_BUSY_TIMEOUT="_s + QString::number(SqlDriver::LockTimeoutMs));
    return db;
}

QString SqliteDialect::probeQuery() const
{
    // SQLite opens any file lazily; only the first read tells a corrupt or foreign file.
    return u"SELECT count(*) FROM sqlite_master"_s;
}

QStringList SqliteDialect::sessionSettings() const
{
    return {u"PRAGMA foreign_keys = ON"_s};
}

void SqliteDialect::letReadersPassWriters(QSqlDatabase &db) const
{
    // Write-ahead-log mode. The mode is kept in the file. Switching needs the file to itself:
    // while another program has it open, this connection keeps the old mode and a later open
    // switches.
    QSqlQuery(db).exec(u"PRAGMA journal_mode = WAL"_s);
}

QString SqliteDialect::identityColumn() const
{
    return u"INTEGER PRIMARY KEY"_s;
}

QSqlError SqliteDialect::beginWrite(QSqlDatabase &db) const
{
    // A plain BEGIN takes the write lock only at the first write: a reader cannot become a
    // writer while another user writes, and SQLite refuses it at once instead of waiting.
    QSqlQuery query(db);
    return query.exec(u"BEGIN IMMEDIATE"_s) ? QSqlError() : query.lastError();
}

SqlDriver::ErrorKind SqliteDialect::kindOf(const QSqlError &error) const
{
    using ErrorKind = SqlDriver::ErrorKind;
    // Primary result codes; the low byte of an extended one.
    constexpr int Busy = 5;
    constexpr int Locked = 6;
    constexpr int ReadOnly = 8;
    constexpr int Corrupt = 11;
    constexpr int Full = 13;
    constexpr int NotADatabase = 26;
    constexpr int Error = 1;
    const int code = error.nativeErrorCode().toInt() & 0xff;
    if (error.databaseText().contains(SqlDriver::AppendOnlyMark))
        return ErrorKind::AppendOnly;
    if (code == Error && error.databaseText().startsWith(u"no such "_s)) // table, column
        return ErrorKind::Damaged;
    switch (code) {
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

bool SqliteDialect::connectionLost(const QSqlDatabase & /*db*/) const
{
    return false; // no server to lose
}

bool SqliteDialect::noRoom(const QSqlError &error, const AccountSetLocation &location) const
{
    constexpr int IoError = 10;
    constexpr int Full = 13;
    constexpr int CannotOpen = 14;
    const int code = error.nativeErrorCode().toInt() & 0xff;
    if (code == Full)
        return true;
    // Less room than SQLite needs for the shared-memory index of its log.
    return (code == IoError || code == CannotOpen) && noRoomBeside(location.path);
}

QString SqliteDialect::readOnlyBeforeOpen(const AccountSetLocation &location) const
{
    // A file that cannot be opened on a read-only mount says so.
    return QFileInfo::exists(location.path) ? fileReadOnlyReason(location.path) : QString();
}

QString SqliteDialect::readOnlyReason(QSqlDatabase & /*db*/,
                                      const AccountSetLocation &location) const
{
    return fileReadOnlyReason(location.path);
}

QString SqliteDialect::damage(QSqlDatabase &db) const
{
    // Reads every page.
    QSqlQuery check(db);
    if (!check.exec(u"PRAGMA quick_check(1)"_s)) {
        if (kindOf(check.lastError()) == SqlDriver::ErrorKind::Damaged)
            return check.lastError().databaseText();
        throw AllocFix::Failure(AccountSetError::QueryFailed,
                                SqlDriver::reasonOf(db, check.lastError()),
                                AccountSetError::Source);
    }
    const QString result = check.next() ? check.value(0).toString() : QString();
    return result == u"ok" ? QString() : result.simplified();
}

QString SqliteDialect::refusedValue(const QVariant & /*value*/) const
{
    return {};
}

QStringList SqliteDialect::rowGuard(const QString &table,
                                    const QList<SqlDriver::RowRule> &rules) const
{
    QString body;
    for (const SqlDriver::RowRule &rule : rules) {
        body += u" SELECT RAISE(ABORT, "_s + quoted(rule.message) + u") WHERE "_s + rule.condition +
                u';';
    }
    return triggers(table + u"_guard"_s, table, {u"INSERT"_s, u"UPDATE"_s}, body);
}

QStringList SqliteDialect::dropRowGuard(const QString & /*table*/) const
{
    return {}; // SQLite drops a table's triggers with it
}

QStringList SqliteDialect::appendOnly(const QString &table) const
{
    // No roles: the triggers refuse everyone. A mark, not a sentence: the program tells the user
    // in the user's language (kindOf).
    return triggers(table + u"_append_only"_s, table, {u"UPDATE"_s, u"DELETE"_s},
                    u" SELECT RAISE(ABORT, '"_s + SqlDriver::AppendOnlyMark + u"');"_s);
}

QStringList SqliteDialect::dropAppendOnly(const QString & /*table*/) const
{
    return {};
}

QString SqliteDialect::guardedName(const QString &table) const
{
    // A trigger reads the tables of its own database.
    return table;
}

QStringList SqliteDialect::appendOnlyKeys(const QString &table, const QString &keyColumn) const
{
    // REPLACE, and the REPLACE an INSERT OR REPLACE or a conflict clause asks for, deletes the
    // row in the way without firing its DELETE triggers: refused before the insert while the key
    // is taken. A key left to SQLite is known only after the insert (-1 before it): refused then
    // when it is not above every other.
    const QString refuse = u" SELECT RAISE(ABORT, '"_s + SqlDriver::AppendOnlyMark + u"')"_s;
    const QString name = table + u"_append_only"_s;
    return {
        u"CREATE TRIGGER %1_insert BEFORE INSERT ON %2 FOR EACH ROW BEGIN%3"
        " WHERE EXISTS (SELECT 1 FROM %2 WHERE %4 = NEW.%4); END"_s.arg(name, table, refuse,
                                                                        keyColumn),
        u"CREATE TRIGGER %1_inserted AFTER INSERT ON %2 FOR EACH ROW BEGIN%3"
        " WHERE NEW.%4 < 1 OR EXISTS (SELECT 1 FROM %2 WHERE %4 > NEW.%4); END"_s.arg(
            name, table, refuse, keyColumn),
    };
}

bool SqliteDialect::hasRoles() const
{
    return false;
}

SqlDriver::Rights SqliteDialect::rights(QSqlDatabase & /*db*/) const
{
    return {};
}

QString SqliteDialect::currentUser(QSqlDatabase & /*db*/) const
{
    const QString user = qEnvironmentVariable("USER", qEnvironmentVariable("USERNAME"));
    return user.isEmpty() ? u"unknown"_s : user;
}

QString SqliteDialect::dataVersionQuery() const
{
    // The data version moves with every commit of another connection, total_changes with every
    // row this one writes.
    return u"SELECT data_version || '/' || total_changes() FROM pragma_data_version"_s;
}

QString SqliteDialect::statisticsUpdate(const QStringList & /*tables*/) const
{
    return {}; // SQLite plans our queries well without statistics
}

bool SqliteDialect::roundTripPerStatement() const
{
    return false;
}

} // namespace FixedAssets
