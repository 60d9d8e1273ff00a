#include "accountset/SqliteDialect.h"

#include "accountset/AccountSet.h"
#include "accountset/AccountSetErrors.h"
#include "accountset/ConnectionPool.h"
#include "host/MMTS.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QTemporaryFile>

#include <cstring>
#include <filesystem>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

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

[[noreturn]] void raiseFolder(const QString &path)
{
    throw AllocFix::Failure(
        AccountSetError::CannotOpen,
        LoadLangString(u"%1 是文件夹，不是账套文件；请指定其中的文件"_s).arg(path),
        AccountSetError::Source);
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

// Writes what the system holds of the file (or folder) at path to the disk. Answers the
// system's error number, 0 when done.
int syncToDisk(const std::filesystem::path &path)
{
#ifdef Q_OS_UNIX
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        return errno;
    const int error = ::fsync(descriptor) == 0 ? 0 : errno;
    ::close(descriptor);
    return error;
#else
    Q_UNUSED(path)
    return 0;
#endif
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

void SqliteDialect::requireExisting(const AccountSetLocation &location) const
{
    const QFileInfo file(location.path);
    if (file.isDir())
        raiseFolder(location.path);
    if (!file.isFile()) {
        throw AllocFix::Failure(AccountSetError::CannotOpen,
                                LoadLangString(u"账套文件 %1 不存在"_s).arg(location.path),
                                AccountSetError::Source);
    }
}

void SqliteDialect::replace(const AccountSetLocation &location,
                            const std::function<void(const AccountSet &)> &build) const
{
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
    const QString stagingName = ConnectionPool::nameOf(staging);
    const std::filesystem::path stagingPath = QFile::encodeName(staging.path).toStdString();
    const std::filesystem::path targetPath = QFile::encodeName(location.path).toStdString();
    try {
        {
            // No program knows the staging file, and a half-built one is thrown away: it needs
            // no journal on disk and no syncing while it is built, only once when complete.
            const AccountSet staged = ConnectionPool::connect(staging);
            staged.exec(u"PRAGMA synchronous = OFF"_s);
            staged.exec(u"PRAGMA journal_mode = MEMORY"_s);
            build(staged);
        }
        ConnectionPool::remove(stagingName);
        if (const int synced = syncToDisk(stagingPath); synced != 0)
            raiseCannotCreate(location, QString::fromLocal8Bit(std::strerror(synced)));
        AccountSet::close(location);
        leaveWriteAheadLog(location);
        // A replaced set keeps its mode; a new one is for its owner only.
        std::error_code error;
        std::filesystem::permissions(stagingPath, modeFor(targetPath), error);
        if (!error)
            std::filesystem::rename(stagingPath, targetPath, error);
        if (error)
            raiseCannotCreate(location, QString::fromStdString(error.message()));
        // The move itself lasts once its folder is on the disk; were it lost, the old set or
        // none would be there, never half of the new one.
        syncToDisk(targetPath.parent_path());
    } catch (...) {
        ConnectionPool::remove(stagingName);
        QFile::remove(staging.path);
        throw;
    }
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

SqlDialect::StorageLook SqliteDialect::storageLook(const AccountSetLocation &location) const
{
    StorageLook look;
#ifdef Q_OS_UNIX
    // The file and the logs a write leaves beside it. A write moves a file's change time, which
    // no program can set back (a backup restored with its old modification time moves it too);
    // the device, inode and size come along for the rare file system that keeps coarse times.
    for (const QString &suffix : {QString(), u"-wal"_s, u"-journal"_s}) {
        struct stat status {};
        if (::stat(QFile::encodeName(location.path + suffix).constData(), &status) != 0) {
            if (errno != ENOENT)
                return {};
            look.state += "-;";
            continue;
        }
        // A log that holds nothing (a reader's connection makes an empty one) is no log.
        if (!suffix.isEmpty() && status.st_size == 0) {
            look.state += "-;";
            continue;
        }
        const qint64 changedNs =
            qint64(status.st_ctim.tv_sec) * 1'000'000'000 + status.st_ctim.tv_nsec;
        look.changedNs = std::max(look.changedNs, changedNs);
        look.state += QByteArray::number(quint64(status.st_dev)) + ' ' +
                      QByteArray::number(quint64(status.st_ino)) + ' ' +
                      QByteArray::number(qint64(status.st_size)) + ' ' +
                      QByteArray::number(qint64(status.st_mtim.tv_sec) * 1'000'000'000 +
                                         status.st_mtim.tv_nsec) +
                      ' ' + QByteArray::number(changedNs) + ';';
    }
#else
    Q_UNUSED(location)
#endif
    return look;
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

// The list goes in as a JSON array: carray needs a pointer bound through SQLite's own API.
QString SqliteDialect::oneOfIds(const QString &column) const
{
    return column + u" IN (SELECT value FROM json_each(?))"_s;
}

QVariant SqliteDialect::idList(const QList<qint32> &ids) const
{
    return QString(u'[' + joinedIds(ids) + u']');
}

} // namespace FixedAssets
