#include "scale/LoadSnapshot.h"

#include "scale/PostgresBaseline.h"

#include <QDir>
#include <QFile>

#include <sqlite3.h>
#include <stdexcept>

using namespace Qt::StringLiterals;

namespace Bench::Load {

namespace {

using FixedAssets::AccountSetLocation;

const QString AdjustmentDate = u"name = 'AdjustmentDate'"_s;
const QString Schema = u"allocfix_load_saved"_s;

} // namespace

Snapshot::Snapshot(const QString &location, const QString &workFolder)
    : m_location(AccountSetLocation::parse(location))
    , m_savedFile(QDir(workFolder).filePath(u"load-saved.fa"_s))
{
    QStringList statements;
    if (sqlite()) {
        QFile::remove(m_savedFile);
        for (const QString &table : WrittenTables)
            statements << u"CREATE TABLE saved.%1 AS SELECT * FROM main.%1"_s.arg(table);
        statements << u"CREATE TABLE saved.profile AS SELECT * FROM main.profile WHERE "_s +
                          AdjustmentDate;
    } else {
        statements << u"DROP SCHEMA IF EXISTS %1 CASCADE"_s.arg(Schema)
                   << u"CREATE SCHEMA %1"_s.arg(Schema);
        for (const QString &table : WrittenTables + QStringList{u"profile"_s})
            statements << u"CREATE TABLE %1.%2 AS SELECT * FROM %2"_s.arg(Schema, table);
    }
    execute(statements);
}

Snapshot::~Snapshot()
{
    if (sqlite()) {
        QFile::remove(m_savedFile);
        return;
    }
    try {
        PostgresBaseline::execute(m_location, {u"DROP SCHEMA IF EXISTS %1 CASCADE"_s.arg(Schema)});
    } catch (const std::exception &) {
        // Left behind; the next run drops it first.
    }
}

void Snapshot::restore() const
{
    const QString saved = sqlite() ? u"saved"_s : Schema;
    QStringList statements{sqlite() ? u"BEGIN IMMEDIATE"_s : u"BEGIN"_s};
    if (!sqlite())
        statements << u"LOCK TABLE profile IN SHARE ROW EXCLUSIVE MODE"_s;
    for (auto table = WrittenTables.crbegin(); table != WrittenTables.crend(); ++table)
        statements << u"DELETE FROM %1"_s.arg(*table);
    for (const QString &table : WrittenTables)
        statements << u"INSERT INTO %1 SELECT * FROM %2.%1"_s.arg(table, saved);
    statements << u"DELETE FROM profile WHERE "_s + AdjustmentDate
               << u"INSERT INTO profile SELECT * FROM %1.profile WHERE %2"_s.arg(saved,
                                                                                 AdjustmentDate)
               << u"COMMIT"_s;
    execute(statements);
}

bool Snapshot::sqlite() const
{
    return m_location.kind == AccountSetLocation::Kind::SQLite;
}

void Snapshot::execute(const QStringList &statements) const
{
    if (!sqlite()) {
        PostgresBaseline::execute(m_location, statements);
        return;
    }
    sqlite3 *db = nullptr;
    const auto fail = [&db](const QString &what) {
        const std::string text = "load snapshot: " + what.toStdString() + ": " +
                                 (db ? sqlite3_errmsg(db) : "cannot open");
        sqlite3_close(db);
        throw std::runtime_error(text);
    };
    if (sqlite3_open_v2(QFile::encodeName(m_location.path).constData(), &db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK)
        fail(m_location.path);
    sqlite3_busy_timeout(db, 60000);
    QStringList all{u"ATTACH '%1' AS saved"_s.arg(QString(m_savedFile).replace(u'\'', u"''"_s))};
    all += statements;
    for (const QString &sql : std::as_const(all)) {
        // A failed statement inside the transaction leaves it to the close, which rolls it back.
        if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
            fail(sql);
    }
    sqlite3_close(db);
}

} // namespace Bench::Load
