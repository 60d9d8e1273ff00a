#include "accountset/DemoTarget.h"

#include "accountset/AccountSetErrors.h"
#include "accountset/DemoData.h"
#include "accountset/Schema.h"
#include "accountset/SqlDriver.h"
#include "host/MMTS.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

#include <functional>
#include <optional>

using namespace Qt::StringLiterals;
using AllocFix::MMTS::LoadLangString;

namespace FixedAssets {

namespace {

const QString InspectionConnection = u"FixedAssets demo target"_s;

// What a database at the location holds.
struct Contents {
    QStringList foreignTables; // tables that are not the account set's
    bool accountSet = false;
    int version = 0;
    bool demo = false;
    qint64 cards = 0;
};

[[noreturn]] void refuse(const AccountSetLocation &location, const QString &why)
{
    throw AllocFix::Failure(AccountSetError::Occupied, location.shown() + u' ' + why,
                            AccountSetError::Source);
}

[[noreturn]] void refuseUnreadable(const AccountSetLocation &location, const QSqlError &error)
{
    refuse(location, LoadLangString(u"无法读取（%1）；不予替换"_s).arg(error.text().simplified()));
}

// The first column of the first row; a database that cannot answer is not replaced.
QString scalar(QSqlDatabase &db, const AccountSetLocation &location, const QString &sql,
               const QString &value = {})
{
    QSqlQuery query(db);
    query.prepare(sql);
    if (!value.isNull())
        query.addBindValue(value);
    if (!query.exec())
        refuseUnreadable(location, query.lastError());
    return query.next() ? query.value(0).toString() : QString();
}

Contents contentsOf(QSqlDatabase &db, const AccountSetLocation &location, const QStringList &tables)
{
    Contents contents;
    if (tables.contains(u"profile"_s, Qt::CaseInsensitive)) {
        const QString select = u"SELECT value FROM profile WHERE name = ?"_s;
        contents.version = scalar(db, location, select, u"SchemaVersion"_s).toInt();
        contents.accountSet = contents.version >= 1;
        contents.demo = scalar(db, location, select, DemoSetKey) == DemoSetValue;
    }
    if (!contents.accountSet) {
        contents.foreignTables = tables;
        return contents;
    }
    const QStringList ours = Schema::tableNames();
    for (const QString &table : tables) {
        if (!ours.contains(table, Qt::CaseInsensitive))
            contents.foreignTables.append(table);
    }
    if (tables.contains(u"cards"_s, Qt::CaseInsensitive))
        contents.cards = scalar(db, location, u"SELECT count(*) FROM cards"_s).toLongLong();
    return contents;
}

// Opens the inspection connection, runs read, and removes the connection on every way out.
template<typename Read>
auto withConnection(const std::function<QSqlDatabase()> &add, const Read &read)
{
    struct Remover {
        ~Remover() { QSqlDatabase::removeDatabase(InspectionConnection); }
    } remover;
    QSqlDatabase db = add();
    const auto result = read(db);
    db.close();
    db = QSqlDatabase();
    return result;
}

std::optional<Contents> inspectSQLite(const AccountSetLocation &location)
{
    const QFileInfo file(location.path);
    if (file.isDir())
        refuse(location, LoadLangString(u"是文件夹；请指定其中的账套文件"_s));
    if (!file.exists() || file.size() == 0)
        return std::nullopt;
    return withConnection(
        [&location] {
            QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, InspectionConnection);
            db.setDatabaseName(location.path);
            db.setConnectOptions(u"QSQLITE_OPEN_READONLY"_s);
            return db;
        },
        [&location](QSqlDatabase &db) {
            if (!db.open())
                refuseUnreadable(location, db.lastError());
            QSqlQuery query(db);
            if (!query.exec(u"SELECT name FROM sqlite_master WHERE type IN ('table', 'view')"
                            " AND name NOT LIKE 'sqlite_%'"_s))
                refuseUnreadable(location, query.lastError());
            QStringList tables;
            while (query.next())
                tables.append(query.value(0).toString());
            query.finish();
            return std::optional<Contents>(contentsOf(db, location, tables));
        });
}

std::optional<Contents> inspectPostgres(const AccountSetLocation &location)
{
    const SqlDriver driver(location.kind);
    return withConnection(
        [&location, &driver] {
            QSqlDatabase db = driver.addConnection(location, InspectionConnection);
            driver.open(db, location);
            return db;
        },
        [&location](QSqlDatabase &db) {
            const QStringList tables = db.tables(QSql::Tables) + db.tables(QSql::Views);
            return std::optional<Contents>(contentsOf(db, location, tables));
        });
}

QString listed(const QStringList &tables)
{
    constexpr qsizetype Shown = 5;
    const QString names = tables.mid(0, Shown).join(u", "_s);
    return tables.size() > Shown ? names + u", ..."_s : names;
}

} // namespace

void checkDemoTarget(const AccountSetLocation &location, bool replaceAccountSet)
{
    // The location's kind, not the dialect: what is there may be no account set, and a file is
    // looked at without opening a connection that could change it.
    const std::optional<Contents> contents = location.kind == AccountSetLocation::Kind::SQLite
                                                 ? inspectSQLite(location)
                                                 : inspectPostgres(location);
    if (!contents)
        return;
    // Replacing drops only the account set's own tables, so a server database may keep others
    // beside it; a file is replaced whole.
    const bool foreignLost =
        location.kind == AccountSetLocation::Kind::SQLite || !contents->accountSet;
    if (!contents->foreignTables.isEmpty() && foreignLost) {
        refuse(location, LoadLangString(u"存有其他数据（表 %1）；永不替换"_s)
                             .arg(listed(contents->foreignTables)));
    }
    if (!contents->accountSet || replaceAccountSet)
        return;
    if (contents->version > Schema::CurrentVersion) {
        refuse(location,
               LoadLangString(u"存有由更新的程序创建的账套（结构版本 %1）；要替换请加 --force"_s)
                   .arg(contents->version));
    }
    if (!contents->demo) {
        refuse(location,
               LoadLangString(u"存有一个 %1 张卡片的账套，它不是演示账套；要替换请加 --force"_s)
                   .arg(contents->cards));
    }
}

} // namespace FixedAssets
