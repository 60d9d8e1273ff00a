#include "scale/PostgresBaseline.h"

#include "accountset/Schema.h"

#include <QElapsedTimer>
#include <QTemporaryFile>

#include <algorithm>
#include <ctime>
#include <libpq-fe.h>
#include <stdexcept>

using namespace Qt::StringLiterals;

namespace Bench::PostgresBaseline {

namespace {

constexpr qint64 CopyChunkBytes = qint64(256) * 1024;

QString quoted(const QString &name)
{
    return u'"' + QString(name).replace(u'"', u"\"\""_s) + u'"';
}

QString columnList(const QStringList &columns, const QString &prefix = {})
{
    QStringList parts;
    for (const QString &column : columns)
        parts.append(prefix + quoted(column));
    return parts.join(u", "_s);
}

QString sameKey(const QStringList &keys, const QString &left, const QString &right)
{
    QStringList parts;
    for (const QString &key : keys)
        parts.append(left + u'.' + quoted(key) + u" = "_s + right + u'.' + quoted(key));
    return parts.join(u" AND "_s);
}

double processCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

class Connection {
public:
    explicit Connection(const FixedAssets::AccountSetLocation &location)
    {
        // What the location leaves empty stays unset, so libpq takes it from its environment.
        QList<std::pair<QByteArray, QByteArray>> settings;
        const auto set = [&settings](const char *key, const QString &value) {
            if (!value.isEmpty())
                settings.append({key, value.toUtf8()});
        };
        set("host", location.host);
        set("port", location.port >= 0 ? QString::number(location.port) : QString());
        set("user", location.user);
        set("password", location.password);
        set("dbname", location.database);
        for (const auto &[key, value] : location.parameters)
            settings.append({key.toUtf8(), value.toUtf8()});
        std::vector<const char *> keys;
        std::vector<const char *> values;
        for (const auto &[key, value] : std::as_const(settings)) {
            keys.push_back(key.constData());
            values.push_back(value.constData());
        }
        keys.push_back(nullptr);
        values.push_back(nullptr);
        m_connection = PQconnectdbParams(keys.data(), values.data(), 0);
        if (PQstatus(m_connection) != CONNECTION_OK)
            fail(u"cannot connect to "_s + location.shown());
        // Doubles go through COPY's text exactly, whatever the server's default.
        exec(u"SET client_min_messages = warning"_s);
        exec(u"SET extra_float_digits = 3"_s);
    }
    ~Connection() { PQfinish(m_connection); }
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    [[noreturn]] void fail(const QString &what) const
    {
        const QString text = u"raw PostgreSQL: "_s + what + u": "_s +
                             QString::fromUtf8(PQerrorMessage(m_connection)).trimmed();
        throw std::runtime_error(text.toStdString());
    }

    void exec(const QString &sql) const { query(sql); }

    // Every row's columns, as text.
    QList<QStringList> query(const QString &sql) const
    {
        PGresult *result = PQexec(m_connection, sql.toUtf8().constData());
        const ExecStatusType status = PQresultStatus(result);
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
            PQclear(result);
            fail(sql);
        }
        QList<QStringList> rows;
        for (int row = 0; row < PQntuples(result); ++row) {
            QStringList columns;
            for (int column = 0; column < PQnfields(result); ++column)
                columns.append(QString::fromUtf8(PQgetvalue(result, row, column)));
            rows.append(columns);
        }
        PQclear(result);
        return rows;
    }

    qint64 count(const QString &sql) const { return query(sql).value(0).value(0).toLongLong(); }

    // Runs COPY ... TO STDOUT into file; answers the rows (one line each in the text format).
    qint64 copyOut(const QString &select, QTemporaryFile &file) const
    {
        startCopy(u"COPY ("_s + select + u") TO STDOUT"_s, PGRES_COPY_OUT);
        qint64 rows = 0;
        char *buffer = nullptr;
        int bytes = 0;
        while ((bytes = PQgetCopyData(m_connection, &buffer, 0)) > 0) {
            rows += std::count(buffer, buffer + bytes, '\n');
            const bool written = file.write(buffer, bytes) == bytes;
            PQfreemem(buffer);
            if (!written)
                throw std::runtime_error("raw PostgreSQL: cannot write " +
                                         file.fileName().toStdString());
        }
        if (bytes == -2)
            fail(select);
        finishCopy(select);
        file.flush();
        return rows;
    }

    // Runs COPY table FROM STDIN with the rows in file.
    void copyIn(const QString &table, const QStringList &columns, QTemporaryFile &file) const
    {
        const QString sql = u"COPY "_s + table + u" ("_s + columnList(columns) + u") FROM STDIN"_s;
        startCopy(sql, PGRES_COPY_IN);
        if (!file.seek(0))
            fail(u"cannot read "_s + file.fileName());
        while (!file.atEnd()) {
            const QByteArray chunk = file.read(CopyChunkBytes);
            if (PQputCopyData(m_connection, chunk.constData(), static_cast<int>(chunk.size())) !=
                1) {
                fail(sql);
            }
        }
        if (PQputCopyEnd(m_connection, nullptr) != 1)
            fail(sql);
        finishCopy(sql);
    }

private:
    void startCopy(const QString &sql, ExecStatusType expected) const
    {
        PGresult *result = PQexec(m_connection, sql.toUtf8().constData());
        const bool started = PQresultStatus(result) == expected;
        PQclear(result);
        if (!started)
            fail(sql);
    }
    void finishCopy(const QString &sql) const
    {
        bool failed = false;
        while (PGresult *result = PQgetResult(m_connection)) {
            failed = failed || PQresultStatus(result) != PGRES_COMMAND_OK;
            PQclear(result);
        }
        if (failed)
            fail(sql);
    }

    PGconn *m_connection = nullptr;
};

struct TableShape {
    QString name;
    QStringList columns;
    QStringList keyColumns;
};

// The three parts of the change of one table from older to newer (schemas), as SELECTs.
struct ChangeQueries {
    QString removedKeys;
    QString changed;
    QString added;
};

ChangeQueries changeQueries(const TableShape &table, const QString &older, const QString &newer)
{
    const QString o = quoted(older) + u'.' + quoted(table.name) + u" o"_s;
    const QString a = quoted(newer) + u'.' + quoted(table.name) + u" a"_s;
    const QString on = sameKey(table.keyColumns, u"a"_s, u"o"_s);
    return {
        u"SELECT "_s + columnList(table.keyColumns, u"o."_s) + u" FROM "_s + o +
            u" WHERE NOT EXISTS (SELECT 1 FROM "_s + a + u" WHERE "_s + on + u')',
        u"SELECT "_s + columnList(table.columns, u"a."_s) + u" FROM "_s + a + u" JOIN "_s + o +
            u" ON "_s + on + u" WHERE ("_s + columnList(table.columns, u"a."_s) +
            u") IS DISTINCT FROM ("_s + columnList(table.columns, u"o."_s) + u')',
        u"SELECT "_s + columnList(table.columns, u"a."_s) + u" FROM "_s + a +
            u" WHERE NOT EXISTS (SELECT 1 FROM "_s + o + u" WHERE "_s + on + u')',
    };
}

std::shared_ptr<QTemporaryFile> changeFile()
{
    auto file = std::make_shared<QTemporaryFile>();
    if (!file->open())
        throw std::runtime_error("raw PostgreSQL: cannot create a temporary file");
    return file;
}

} // namespace

void execute(const FixedAssets::AccountSetLocation &location, const QStringList &statements)
{
    const Connection connection(location);
    for (const QString &sql : statements)
        connection.exec(sql);
}

struct Replay::Session {
    explicit Session(const FixedAssets::AccountSetLocation &location)
        : connection(location)
        , setSchema(connection.query(u"SELECT current_schema()"_s).value(0).value(0))
    {
        if (setSchema.isEmpty())
            connection.fail(u"no schema holds the account set"_s);
        // Dependents first in the list, so parents first reversed.
        QStringList names = FixedAssets::Schema::tableNames();
        std::reverse(names.begin(), names.end());
        for (const QString &name : std::as_const(names)) {
            const QString relation = u"to_regclass('"_s + qualified(setSchema, name) + u"')"_s;
            const QList<QStringList> columns = connection.query(
                u"SELECT attname FROM pg_attribute WHERE attrelid = "_s + relation +
                u" AND attnum > 0 AND NOT attisdropped ORDER BY attnum"_s);
            if (columns.isEmpty())
                continue;
            TableShape shape{name, {}, {}};
            for (const QStringList &column : columns)
                shape.columns.append(column.first());
            const QList<QStringList> keys = connection.query(
                u"SELECT a.attname FROM pg_index i JOIN pg_attribute a ON a.attrelid = i.indrelid"
                " AND a.attnum = ANY (i.indkey) WHERE i.indrelid = "_s +
                relation +
                u" AND i.indisprimary ORDER BY array_position(i.indkey::int2[], a.attnum)"_s);
            for (const QStringList &key : keys)
                shape.keyColumns.append(key.first());
            if (shape.keyColumns.isEmpty())
                shape.keyColumns = shape.columns;
            tables.push_back(shape);
        }
        if (tables.empty())
            connection.fail(u"no account set tables in schema "_s + setSchema);
    }
    ~Session()
    {
        try {
            connection.exec(u"DROP SCHEMA IF EXISTS "_s + quoted(BeforeSchema) + u", "_s +
                            quoted(RawSchema) + u" CASCADE"_s);
        } catch (const std::exception &) {
            // The next replay drops them before it starts.
        }
    }
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    static QString qualified(const QString &schema, const QString &table)
    {
        return quoted(schema) + u'.' + quoted(table);
    }

    // Unlogged, without indexes: only read once, by the queries of the change.
    void keepBefore(bool withRows)
    {
        connection.exec(u"DROP SCHEMA IF EXISTS "_s + quoted(BeforeSchema) + u", "_s +
                        quoted(RawSchema) + u" CASCADE"_s);
        connection.exec(u"CREATE SCHEMA "_s + quoted(BeforeSchema));
        for (const TableShape &table : tables) {
            connection.exec(u"CREATE UNLOGGED TABLE "_s + qualified(BeforeSchema, table.name) +
                            u" AS SELECT * FROM "_s + qualified(setSchema, table.name) +
                            (withRows ? u""_s : u" WITH NO DATA"_s));
        }
    }

    Connection connection;
    QString setSchema;
    std::vector<TableShape> tables;
};

Replay::Replay(std::unique_ptr<Session> session)
    : m_session(std::move(session))
{}

Replay::Replay(Replay &&) noexcept = default;
Replay &Replay::operator=(Replay &&) noexcept = default;
Replay::~Replay() = default;

Replay Replay::before(const FixedAssets::AccountSetLocation &location)
{
    auto session = std::make_unique<Session>(location);
    session->keepBefore(true);
    return Replay(std::move(session));
}

Replay Replay::fromEmpty(const FixedAssets::AccountSetLocation &location)
{
    auto session = std::make_unique<Session>(location);
    session->keepBefore(false);
    return Replay(std::move(session));
}

Change Replay::change()
{
    Change change;
    for (const TableShape &table : m_session->tables) {
        const ChangeQueries queries = changeQueries(table, BeforeSchema, m_session->setSchema);
        TableChange rows;
        rows.table = table.name;
        rows.columns = table.columns;
        rows.keyColumns = table.keyColumns;
        rows.removedKeys = changeFile();
        rows.removedRows = m_session->connection.copyOut(queries.removedKeys, *rows.removedKeys);
        rows.changed = changeFile();
        rows.changedRows = m_session->connection.copyOut(queries.changed, *rows.changed);
        rows.added = changeFile();
        rows.addedRows = m_session->connection.copyOut(queries.added, *rows.added);
        change.append(std::move(rows));
    }
    return change;
}

void Replay::prepareCopy()
{
    Connection &db = m_session->connection;
    const QString &set = m_session->setSchema;
    // The definitions name the set's tables unqualified only while nothing else is on the path.
    db.exec(u"SET search_path = "_s + quoted(set));
    const QList<QStringList> foreignKeys =
        db.query(u"SELECT c.conrelid::regclass::text, c.conname, pg_get_constraintdef(c.oid)"
                 " FROM pg_constraint c JOIN pg_namespace n ON n.oid = c.connamespace"
                 " WHERE c.contype = 'f' AND n.nspname = '"_s +
                 set + u"' ORDER BY c.oid"_s);
    const QList<QStringList> triggers =
        db.query(u"SELECT t.tgrelid::regclass::text, pg_get_triggerdef(t.oid) FROM pg_trigger t"
                 " JOIN pg_class c ON c.oid = t.tgrelid JOIN pg_namespace n ON"
                 " n.oid = c.relnamespace WHERE NOT t.tgisinternal AND n.nspname = '"_s +
                 set + u"' ORDER BY t.oid"_s);

    db.exec(u"DROP SCHEMA IF EXISTS "_s + quoted(RawSchema) + u" CASCADE"_s);
    db.exec(u"CREATE SCHEMA "_s + quoted(RawSchema));
    // The row guard's function reads items unqualified: the copy's, while it is first.
    db.exec(u"SET search_path = "_s + quoted(RawSchema) + u", "_s + quoted(set));
    QStringList tableNames;
    for (const TableShape &table : m_session->tables) {
        tableNames.append(table.name);
        const QString raw = Session::qualified(RawSchema, table.name);
        db.exec(u"CREATE TABLE "_s + raw + u" (LIKE "_s + Session::qualified(set, table.name) +
                u" INCLUDING ALL)"_s);
        db.exec(u"INSERT INTO "_s + raw + u" SELECT * FROM "_s +
                Session::qualified(BeforeSchema, table.name));
    }
    for (const QStringList &key : foreignKeys) {
        if (tableNames.contains(key[0])) {
            db.exec(u"ALTER TABLE "_s + Session::qualified(RawSchema, key[0]) +
                    u" ADD CONSTRAINT "_s + quoted(key[1]) + u' ' + key[2]);
        }
    }
    for (const QStringList &trigger : triggers) {
        if (!tableNames.contains(trigger[0]))
            continue;
        QString definition = trigger[1];
        const QString on = u" ON "_s;
        const qsizetype at = definition.indexOf(on);
        const qsizetype end = definition.indexOf(u' ', at + on.size());
        if (at < 0 || end < 0)
            db.fail(u"cannot read the trigger "_s + definition);
        definition.replace(at, end - at, on + Session::qualified(RawSchema, trigger[0]));
        db.exec(definition);
    }
    for (const QString &table : std::as_const(tableNames))
        db.exec(u"ANALYZE "_s + Session::qualified(RawSchema, table));
}

Result Replay::write(const Change &change)
{
    Connection &db = m_session->connection;
    const double cpuStart = processCpuSeconds();
    QElapsedTimer timer;
    timer.start();
    db.exec(u"BEGIN"_s);
    try {
        // Children first, so no row goes while others still refer to it.
        for (auto table = change.tables.rbegin(); table != change.tables.rend(); ++table) {
            if (table->removedRows == 0)
                continue;
            const QString raw = Session::qualified(RawSchema, table->table);
            const QString gone = quoted(u"gone_"_s + table->table);
            db.exec(u"CREATE TEMP TABLE "_s + gone + u" ON COMMIT DROP AS SELECT "_s +
                    columnList(table->keyColumns) + u" FROM "_s + raw + u" WITH NO DATA"_s);
            db.copyIn(gone, table->keyColumns, *table->removedKeys);
            db.exec(u"DELETE FROM "_s + raw + u" x USING "_s + gone + u" g WHERE "_s +
                    sameKey(table->keyColumns, u"x"_s, u"g"_s));
        }
        for (const TableChange &table : change.tables) {
            const QString raw = Session::qualified(RawSchema, table.table);
            if (table.changedRows > 0) {
                const QString changed = quoted(u"changed_"_s + table.table);
                db.exec(u"CREATE TEMP TABLE "_s + changed + u" ON COMMIT DROP AS SELECT * FROM "_s +
                        raw + u" WITH NO DATA"_s);
                db.copyIn(changed, table.columns, *table.changed);
                QStringList values;
                for (const QString &column : table.columns) {
                    if (!table.keyColumns.contains(column))
                        values.append(quoted(column) + u" = n."_s + quoted(column));
                }
                db.exec(u"UPDATE "_s + raw + u" x SET "_s + values.join(u", "_s) + u" FROM "_s +
                        changed + u" n WHERE "_s + sameKey(table.keyColumns, u"x"_s, u"n"_s));
            }
            // New rows go straight in: COPY is the fastest insert the server has.
            if (table.addedRows > 0)
                db.copyIn(raw, table.columns, *table.added);
        }
        db.exec(u"COMMIT"_s);
    } catch (...) {
        try {
            db.exec(u"ROLLBACK"_s);
        } catch (const std::exception &) {
            // The first failure is the one to report.
        }
        throw;
    }
    return {static_cast<double>(timer.nsecsElapsed()) / 1e9, processCpuSeconds() - cpuStart,
            change.removedRows, change.changedRows, change.addedRows};
}

qint64 Replay::differencesLeft()
{
    qint64 rows = 0;
    for (const TableShape &table : m_session->tables) {
        const ChangeQueries queries = changeQueries(table, RawSchema, m_session->setSchema);
        for (const QString &select : {queries.removedKeys, queries.changed, queries.added})
            rows += m_session->connection.count(u"SELECT count(*) FROM ("_s + select + u") d"_s);
    }
    return rows;
}

Result Replay::run()
{
    const Change found = change();
    prepareCopy();
    const Result result = write(found);
    const qint64 left = differencesLeft();
    if (left != 0) {
        throw std::runtime_error("raw PostgreSQL: the replay did not make the step's change (" +
                                 std::to_string(left) + " rows differ)");
    }
    return result;
}

} // namespace Bench::PostgresBaseline
