#include "scale/SqliteBaseline.h"

#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <sqlite3.h>
#include <stdexcept>
#include <string>

using namespace Qt::StringLiterals;

namespace Bench::SqliteBaseline {

namespace {

[[noreturn]] void fail(sqlite3 *db, const QString &what)
{
    const QString text = u"raw SQLite: "_s + what + u": "_s + QString::fromUtf8(sqlite3_errmsg(db));
    throw std::runtime_error(text.toStdString());
}

class Database {
public:
    explicit Database(const QString &path)
    {
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db,
                            SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
            fail(m_db, u"cannot open "_s + path);
        }
    }
    ~Database() { sqlite3_close_v2(m_db); }
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    sqlite3 *handle() const { return m_db; }
    void exec(const QString &sql) const
    {
        if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
            fail(m_db, sql);
    }

private:
    sqlite3 *m_db = nullptr;
};

class Statement {
public:
    Statement(const Database &db, const QString &sql)
        : m_db(db.handle())
    {
        if (sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &m_statement, nullptr) !=
            SQLITE_OK) {
            fail(m_db, sql);
        }
    }
    ~Statement() { sqlite3_finalize(m_statement); }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    sqlite3_stmt *handle() const { return m_statement; }
    // True while there is a row.
    bool step()
    {
        const int result = sqlite3_step(m_statement);
        if (result == SQLITE_ROW)
            return true;
        if (result != SQLITE_DONE)
            fail(m_db, QString::fromUtf8(sqlite3_sql(m_statement)));
        return false;
    }
    void run()
    {
        step();
        sqlite3_reset(m_statement);
    }
    QString text(int column) const
    {
        return QString::fromUtf8(
            reinterpret_cast<const char *>(sqlite3_column_text(m_statement, column)));
    }

private:
    sqlite3 *m_db;
    sqlite3_stmt *m_statement = nullptr;
};

QString quoted(const QString &name)
{
    return u'"' + QString(name).replace(u'"', u"\"\""_s) + u'"';
}

QString columnList(const QStringList &columns, const QString &prefix = {})
{
    QStringList quotedColumns;
    for (const QString &column : columns)
        quotedColumns.append(prefix + quoted(column));
    return quotedColumns.join(u", "_s);
}

QString conditions(const QStringList &columns)
{
    QStringList parts;
    for (const QString &column : columns)
        parts.append(quoted(column) + u" = ?"_s);
    return parts.join(u" AND "_s);
}

} // namespace

// Rows held compactly: a type and a 64-bit slot per value; texts in one arena.
class TableRows {
public:
    explicit TableRows(int columns)
        : m_columns(columns)
    {}

    qint64 count() const { return static_cast<qint64>(m_types.size()) / m_columns; }

    void appendFrom(sqlite3_stmt *row)
    {
        for (int column = 0; column < m_columns; ++column) {
            const int type = sqlite3_column_type(row, column);
            m_types.push_back(static_cast<unsigned char>(type));
            switch (type) {
            case SQLITE_INTEGER:
                m_values.push_back(sqlite3_column_int64(row, column));
                break;
            case SQLITE_FLOAT: {
                const double value = sqlite3_column_double(row, column);
                sqlite3_int64 bits = 0;
                std::memcpy(&bits, &value, sizeof bits);
                m_values.push_back(bits);
                break;
            }
            case SQLITE_TEXT:
            case SQLITE_BLOB: {
                const void *data = type == SQLITE_TEXT
                                       ? static_cast<const void *>(sqlite3_column_text(row, column))
                                       : sqlite3_column_blob(row, column);
                const int bytes = sqlite3_column_bytes(row, column);
                m_values.push_back(static_cast<sqlite3_int64>(m_spans.size()));
                m_spans.emplace_back(m_arena.size(), bytes);
                m_arena.append(static_cast<const char *>(data), static_cast<size_t>(bytes));
                break;
            }
            default:
                m_values.push_back(0);
                break;
            }
        }
    }

    void bind(sqlite3_stmt *statement, int parameter, qint64 row, int column) const
    {
        const auto at = static_cast<size_t>(row * m_columns + column);
        const sqlite3_int64 slot = m_values[at];
        switch (m_types[at]) {
        case SQLITE_INTEGER:
            sqlite3_bind_int64(statement, parameter, slot);
            break;
        case SQLITE_FLOAT: {
            double value = 0;
            std::memcpy(&value, &slot, sizeof value);
            sqlite3_bind_double(statement, parameter, value);
            break;
        }
        case SQLITE_TEXT: {
            const auto &[offset, bytes] = m_spans[static_cast<size_t>(slot)];
            sqlite3_bind_text(statement, parameter, m_arena.data() + offset, bytes, SQLITE_STATIC);
            break;
        }
        case SQLITE_BLOB: {
            const auto &[offset, bytes] = m_spans[static_cast<size_t>(slot)];
            sqlite3_bind_blob(statement, parameter, m_arena.data() + offset, bytes, SQLITE_STATIC);
            break;
        }
        default:
            sqlite3_bind_null(statement, parameter);
            break;
        }
    }

private:
    int m_columns;
    std::vector<unsigned char> m_types;
    std::vector<sqlite3_int64> m_values;
    std::vector<std::pair<size_t, int>> m_spans;
    std::string m_arena;
};

namespace {

std::shared_ptr<TableRows> readRows(const Database &db, const QString &sql, int columns)
{
    auto rows = std::make_shared<TableRows>(columns);
    Statement query(db, sql);
    while (query.step())
        rows->appendFrom(query.handle());
    return rows;
}

struct TableShape {
    QString name;
    QStringList columns;
    QStringList keyColumns;
    QStringList parents;
};

TableShape shapeOf(const Database &db, const QString &table)
{
    TableShape shape{table, {}, {}, {}};
    QList<std::pair<int, QString>> key;
    Statement columns(db, u"PRAGMA main.table_info("_s + quoted(table) + u')');
    while (columns.step()) {
        shape.columns.append(columns.text(1));
        const int keyPosition = sqlite3_column_int(columns.handle(), 5);
        if (keyPosition > 0)
            key.append({keyPosition, columns.text(1)});
    }
    std::sort(key.begin(), key.end());
    for (const auto &[position, column] : key)
        shape.keyColumns.append(column);
    if (shape.keyColumns.isEmpty())
        shape.keyColumns = shape.columns;
    Statement references(db, u"PRAGMA main.foreign_key_list("_s + quoted(table) + u')');
    while (references.step()) {
        const QString parent = references.text(2);
        if (parent != table && !shape.parents.contains(parent))
            shape.parents.append(parent);
    }
    return shape;
}

// Parents before children.
std::vector<TableShape> inInsertOrder(std::vector<TableShape> tables)
{
    std::vector<TableShape> ordered;
    QStringList placed;
    while (!tables.empty()) {
        const auto ready = std::find_if(tables.begin(), tables.end(), [&placed](const auto &t) {
            return std::all_of(t.parents.begin(), t.parents.end(),
                               [&placed](const QString &p) { return placed.contains(p); });
        });
        // A cycle, or a parent outside the schema: keep the rest in schema order.
        const auto next = ready == tables.end() ? tables.begin() : ready;
        placed.append(next->name);
        ordered.push_back(std::move(*next));
        tables.erase(next);
    }
    return ordered;
}

} // namespace

void copyDatabase(const QString &from, const QString &to)
{
    // A journal left beside the target belongs to the file it replaces, and would be replayed
    // onto the copy.
    for (const QString &suffix : {u""_s, u"-wal"_s, u"-shm"_s, u"-journal"_s})
        QFile::remove(to + suffix);
    const Database source(from);
    const Database target(to);
    sqlite3_backup *backup = sqlite3_backup_init(target.handle(), "main", source.handle(), "main");
    if (!backup)
        fail(target.handle(), u"cannot copy "_s + from);
    sqlite3_backup_step(backup, -1);
    if (sqlite3_backup_finish(backup) != SQLITE_OK)
        fail(target.handle(), u"cannot copy "_s + from);
}

void createEmptyLike(const QString &model, const QString &path)
{
    QFile::remove(path);
    const Database source(model);
    const Database target(path);
    Statement schema(source, u"SELECT sql FROM sqlite_master WHERE sql IS NOT NULL"
                             " AND name NOT LIKE 'sqlite_%' ORDER BY rowid"_s);
    while (schema.step())
        target.exec(schema.text(0));
}

Change changeBetween(const QString &before, const QString &after)
{
    const Database db(after);
    {
        Statement attach(db, u"ATTACH DATABASE ?1 AS b"_s);
        const QByteArray path = QFile::encodeName(before);
        sqlite3_bind_text(attach.handle(), 1, path.constData(), -1, SQLITE_TRANSIENT);
        attach.run();
    }
    std::vector<TableShape> tables;
    {
        Statement names(db, u"SELECT name FROM main.sqlite_master WHERE type = 'table'"
                            " AND name NOT LIKE 'sqlite_%' ORDER BY rowid"_s);
        while (names.step())
            tables.push_back(shapeOf(db, names.text(0)));
    }

    Change change;
    const std::vector<TableShape> ordered = inInsertOrder(std::move(tables));
    for (const TableShape &table : ordered) {
        const QString name = quoted(table.name);
        const QString all = columnList(table.columns);
        const auto columns = static_cast<int>(table.columns.size());
        TableChange rows;
        rows.table = table.name;
        rows.columns = table.columns;
        rows.keyColumns = table.keyColumns;
        rows.removedKeys = std::make_shared<TableRows>(static_cast<int>(table.keyColumns.size()));
        rows.changed = std::make_shared<TableRows>(columns);
        Statement emptyBefore(db, u"SELECT NOT EXISTS (SELECT 1 FROM b."_s + name + u')');
        emptyBefore.step();
        if (sqlite3_column_int(emptyBefore.handle(), 0) != 0) {
            rows.added = readRows(db, u"SELECT "_s + all + u" FROM main."_s + name, columns);
        } else {
            // Joined on the key, which the primary key's index serves.
            QStringList sameKey;
            QStringList sameValues;
            for (const QString &key : table.keyColumns)
                sameKey.append(u"a."_s + quoted(key) + u" = o."_s + quoted(key));
            for (const QString &column : table.columns)
                sameValues.append(u"a."_s + quoted(column) + u" IS o."_s + quoted(column));
            const QString on = u" ON "_s + sameKey.join(u" AND "_s);
            const QString newer = u" main."_s + name + u" a"_s;
            const QString older = u" b."_s + name + u" o"_s;
            const QString firstKey = quoted(table.keyColumns.first());
            rows.removedKeys = readRows(db,
                                        u"SELECT "_s + columnList(table.keyColumns, u"o."_s) +
                                            u" FROM"_s + older + u" LEFT JOIN"_s + newer + on +
                                            u" WHERE a."_s + firstKey + u" IS NULL"_s,
                                        static_cast<int>(table.keyColumns.size()));
            rows.changed = readRows(db,
                                    u"SELECT "_s + columnList(table.columns, u"a."_s) + u" FROM"_s +
                                        newer + u" JOIN"_s + older + on + u" WHERE NOT ("_s +
                                        sameValues.join(u" AND "_s) + u')',
                                    columns);
            rows.added = readRows(db,
                                  u"SELECT "_s + columnList(table.columns, u"a."_s) + u" FROM"_s +
                                      newer + u" LEFT JOIN"_s + older + on + u" WHERE o."_s +
                                      firstKey + u" IS NULL"_s,
                                  columns);
        }
        rows.removedRows = rows.removedKeys->count();
        rows.changedRows = rows.changed->count();
        rows.addedRows = rows.added->count();
        change.append(std::move(rows));
    }
    return change;
}

WriteTime write(const QString &path, const Change &change, const Settings &settings)
{
    const Database db(path);
    db.exec(u"PRAGMA foreign_keys = ON"_s);
    db.exec(u"PRAGMA journal_mode = "_s + settings.journalMode);
    db.exec(u"PRAGMA synchronous = "_s + QString::number(settings.synchronous));

    timespec cpuStart{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpuStart);
    QElapsedTimer timer;
    timer.start();
    db.exec(u"BEGIN IMMEDIATE"_s);
    // Children first, so no row goes while others still refer to it.
    for (auto table = change.tables.rbegin(); table != change.tables.rend(); ++table) {
        const TableRows &keys = *table->removedKeys;
        if (keys.count() == 0)
            continue;
        Statement remove(db, u"DELETE FROM "_s + quoted(table->table) + u" WHERE "_s +
                                 conditions(table->keyColumns));
        const auto keyCount = static_cast<int>(table->keyColumns.size());
        for (qint64 row = 0; row < keys.count(); ++row) {
            for (int k = 0; k < keyCount; ++k)
                keys.bind(remove.handle(), k + 1, row, k);
            remove.run();
        }
    }
    for (const TableChange &table : change.tables) {
        if (table.changed->count() > 0) {
            QStringList values;
            QList<int> valueColumns;
            QList<int> keyColumns;
            for (int c = 0; c < table.columns.size(); ++c) {
                if (table.keyColumns.contains(table.columns[c]))
                    continue;
                values.append(quoted(table.columns[c]) + u" = ?"_s);
                valueColumns.append(c);
            }
            for (const QString &key : table.keyColumns)
                keyColumns.append(static_cast<int>(table.columns.indexOf(key)));
            Statement update(db, u"UPDATE "_s + quoted(table.table) + u" SET "_s +
                                     values.join(u", "_s) + u" WHERE "_s +
                                     conditions(table.keyColumns));
            const QList<int> order = valueColumns + keyColumns;
            for (qint64 row = 0; row < table.changed->count(); ++row) {
                for (int p = 0; p < order.size(); ++p)
                    table.changed->bind(update.handle(), p + 1, row, order[p]);
                update.run();
            }
        }
        if (table.added->count() > 0) {
            Statement insert(db, u"INSERT INTO "_s + quoted(table.table) + u" ("_s +
                                     columnList(table.columns) + u") VALUES ("_s +
                                     QStringList(table.columns.size(), u"?"_s).join(u", "_s) +
                                     u')');
            const auto columns = static_cast<int>(table.columns.size());
            for (qint64 row = 0; row < table.added->count(); ++row) {
                for (int c = 0; c < columns; ++c)
                    table.added->bind(insert.handle(), c + 1, row, c);
                insert.run();
            }
        }
    }
    db.exec(u"COMMIT"_s);
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    timespec cpuEnd{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpuEnd);
    return {seconds, static_cast<double>(cpuEnd.tv_sec - cpuStart.tv_sec) +
                         static_cast<double>(cpuEnd.tv_nsec - cpuStart.tv_nsec) / 1e9};
}

} // namespace Bench::SqliteBaseline
