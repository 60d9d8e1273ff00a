#include "accountset/BulkInsert.h"

#include "accountset/AccountSet.h"
#include "accountset/AccountSetErrors.h"
#include "host/MMTS.h"

#include <QLocale>
#include <QSqlError>

#include <libpq-fe.h>
#include <sqlite3.h>

using namespace Qt::StringLiterals;
using AllocFix::MMTS::LoadLangString;

namespace FixedAssets {

namespace {

QString insertStatement(const QString &table, const QStringList &columns)
{
    return u"INSERT INTO "_s + table + u" ("_s + columns.join(u", "_s) + u") VALUES ("_s +
           QStringList(columns.size(), u"?"_s).join(u", "_s) + u')';
}

// SQLite: one single-row INSERT on the connection's handle, each row bound and stepped as it
// comes.
class SqliteRows final : public BulkInsert::Writer {
public:
    SqliteRows(const AccountSet &set, sqlite3 *db, const QString &sql)
        : m_set(set)
        , m_db(db)
    {
        if (sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &m_statement, nullptr) !=
            SQLITE_OK) {
            raise();
        }
    }
    ~SqliteRows() override { sqlite3_finalize(m_statement); }
    SqliteRows(const SqliteRows &) = delete;
    SqliteRows &operator=(const SqliteRows &) = delete;

    void add(const QVariantList &row) override
    {
        m_set.requireStorable(row);
        for (qsizetype i = 0; i < row.size(); ++i)
            bind(static_cast<int>(i) + 1, row[i]);
        const int result = sqlite3_step(m_statement);
        sqlite3_reset(m_statement);
        if (result != SQLITE_DONE)
            raise();
    }
    void finish() override {}

private:
    // The row outlives the step, so its texts are bound where they are.
    void bind(int parameter, const QVariant &value)
    {
        switch (value.typeId()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
            sqlite3_bind_int64(m_statement, parameter, value.toLongLong());
            break;
        case QMetaType::Double:
            sqlite3_bind_double(m_statement, parameter, value.toDouble());
            break;
        case QMetaType::QString: {
            const auto *text = static_cast<const QString *>(value.constData());
            sqlite3_bind_text16(m_statement, parameter, text->utf16(),
                                static_cast<int>(text->size() * 2), SQLITE_STATIC);
            break;
        }
        default:
            if (value.isNull()) {
                sqlite3_bind_null(m_statement, parameter);
            } else {
                const QByteArray text = value.toString().toUtf8();
                sqlite3_bind_text(m_statement, parameter, text.constData(),
                                  static_cast<int>(text.size()), SQLITE_TRANSIENT);
            }
            break;
        }
    }
    // The database's text and code, as Qt's driver would have reported them.
    [[noreturn]] void raise() const
    {
        m_set.raise(QSqlError(QString(), QString::fromUtf8(sqlite3_errmsg(m_db)),
                              QSqlError::StatementError,
                              QString::number(sqlite3_extended_errcode(m_db))));
    }

    AccountSet m_set;
    sqlite3 *m_db;
    sqlite3_stmt *m_statement = nullptr;
};

// PostgreSQL: COPY on the connection's own handle, the rows sent in the text format a buffer at
// a time. The copy begins with the first row and ends with finish(); until then the connection
// serves nothing else.
class PostgresCopy final : public BulkInsert::Writer {
public:
    PostgresCopy(const AccountSet &set, PGconn *connection, const QString &table,
                 const QStringList &columns)
        : m_set(set)
        , m_connection(connection)
        , m_statement(u"COPY %1 (%2) FROM STDIN"_s.arg(table, columns.join(u", "_s)).toUtf8())
    {}
    ~PostgresCopy() override
    {
        // Not finished: the copy is abandoned, and with it the transaction.
        if (m_copying) {
            PQputCopyEnd(m_connection, "the rows were not finished");
            drainResults();
        }
    }
    PostgresCopy(const PostgresCopy &) = delete;
    PostgresCopy &operator=(const PostgresCopy &) = delete;

    void add(const QVariantList &row) override
    {
        if (!m_copying)
            begin();
        m_set.requireStorable(row);
        for (qsizetype i = 0; i < row.size(); ++i) {
            if (i > 0)
                m_buffer.append('\t');
            appendValue(row[i]);
        }
        m_buffer.append('\n');
        if (m_buffer.size() >= BufferBytes)
            send();
    }
    void finish() override
    {
        if (!m_copying)
            return;
        send();
        m_copying = false;
        if (PQputCopyEnd(m_connection, nullptr) != 1)
            raiseConnectionError();
        const QSqlError error = drainResults();
        if (error.isValid())
            m_set.raise(error);
    }

private:
    static constexpr qsizetype BufferBytes = qsizetype(256) * 1024;

    void begin()
    {
        PGresult *result = PQexec(m_connection, m_statement.constData());
        const bool copying = PQresultStatus(result) == PGRES_COPY_IN;
        const QSqlError error = errorOf(result);
        PQclear(result);
        if (!copying)
            m_set.raise(error);
        m_copying = true;
    }
    void send()
    {
        if (m_buffer.isEmpty())
            return;
        if (PQputCopyData(m_connection, m_buffer.constData(), static_cast<int>(m_buffer.size())) !=
            1) {
            raiseConnectionError();
        }
        m_buffer.clear();
    }
    // The copy's results, the first error among them.
    QSqlError drainResults()
    {
        QSqlError error;
        while (PGresult *result = PQgetResult(m_connection)) {
            if (PQresultStatus(result) != PGRES_COMMAND_OK && !error.isValid())
                error = errorOf(result);
            PQclear(result);
        }
        return error;
    }
    // The server's text and SQLSTATE, as Qt's driver would have reported them, without the
    // context the server adds to a copy's error: it quotes the row the copy was at, and the rows
    // are the account set's data.
    static QSqlError errorOf(const PGresult *result)
    {
        const char *primary = PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY);
        const char *detail = PQresultErrorField(result, PG_DIAG_MESSAGE_DETAIL);
        QString text = primary ? QString::fromUtf8(primary)
                               : QString::fromUtf8(PQresultErrorMessage(result)).trimmed();
        if (detail)
            text += u' ' + QString::fromUtf8(detail);
        return QSqlError(QString(), text, QSqlError::StatementError,
                         QString::fromLatin1(PQresultErrorField(result, PG_DIAG_SQLSTATE)));
    }
    void appendValue(const QVariant &value)
    {
        switch (value.typeId()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
            m_buffer.append(QByteArray::number(value.toLongLong()));
            return;
        case QMetaType::Double:
            m_buffer.append(
                QByteArray::number(value.toDouble(), 'g', QLocale::FloatingPointShortest));
            return;
        default:
            break;
        }
        if (value.isNull()) {
            m_buffer.append("\\N");
            return;
        }
        // The text format's escapes: backslash, and the separators of columns and rows.
        const QByteArray text = value.toString().toUtf8();
        for (const char c : text) {
            switch (c) {
            case '\\':
                m_buffer.append("\\\\");
                break;
            case '\t':
                m_buffer.append("\\t");
                break;
            case '\n':
                m_buffer.append("\\n");
                break;
            case '\r':
                m_buffer.append("\\r");
                break;
            default:
                m_buffer.append(c);
                break;
            }
        }
    }
    [[noreturn]] void raiseConnectionError() const
    {
        m_set.raise(QSqlError(QString(), QString::fromUtf8(PQerrorMessage(m_connection)).trimmed(),
                              QSqlError::ConnectionError));
    }

    AccountSet m_set;
    PGconn *m_connection;
    QByteArray m_statement;
    QByteArray m_buffer;
    bool m_copying = false;
};

} // namespace

BulkInsert::BulkInsert(const AccountSet &set, const QString &table, const QStringList &columns,
                       qsizetype rowsPerBatch)
    : m_rowsPerBatch(rowsPerBatch)
{
    const QSqlDatabase db = set.database();
    if (sqlite3 *handle = set.driver().sqliteHandle(db)) {
        m_writer = std::make_unique<SqliteRows>(set, handle, insertStatement(table, columns));
    } else if (PGconn *handle = set.driver().postgresHandle(db)) {
        m_writer = std::make_unique<PostgresCopy>(set, handle, table, columns);
    } else {
        throw AllocFix::Failure(AccountSetError::NotSupported,
                                LoadLangString(u"无法通过此数据库驱动批量写入行"_s),
                                AccountSetError::Source);
    }
}

BulkInsert::~BulkInsert() = default;

void BulkInsert::add(const QVariantList &row)
{
    Q_ASSERT(row.size() > 0);
    if (m_rowsPerBatch <= 0) {
        m_writer->add(row);
        return;
    }
    m_waiting.append(row);
    if (m_waiting.size() >= m_rowsPerBatch)
        writeWaiting();
}

void BulkInsert::finish()
{
    if (m_rowsPerBatch > 0)
        writeWaiting();
    else
        m_writer->finish();
}

void BulkInsert::writeWaiting()
{
    if (m_waiting.isEmpty())
        return;
    for (const QVariantList &row : std::as_const(m_waiting))
        m_writer->add(row);
    m_writer->finish();
    m_waiting.clear();
}

RowStatement::RowStatement(const AccountSet &set, const QString &sql)
{
    sqlite3 *handle = set.driver().sqliteHandle(set.database());
    if (!handle) {
        throw AllocFix::Failure(AccountSetError::NotSupported,
                                LoadLangString(u"仅在 SQLite 上逐条语句写入行"_s),
                                AccountSetError::Source);
    }
    m_writer = std::make_unique<SqliteRows>(set, handle, sql);
}

RowStatement::~RowStatement() = default;

void RowStatement::run(const QVariantList &row)
{
    m_writer->add(row);
}

} // namespace FixedAssets
