#include "accountset/BulkInsert.h"

#include "accountset/AccountSet.h"
#include "accountset/PreparedStatement.h"

#include <QSqlError>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace FixedAssets {

namespace {

QString insertStatement(const QString &table, const QStringList &columns, qsizetype rows)
{
    const QString row = u'(' + QStringList(columns.size(), u"?"_s).join(u", "_s) + u')';
    return u"INSERT INTO "_s + table + u" ("_s + columns.join(u", "_s) + u") VALUES "_s +
           QStringList(rows, row).join(u", "_s);
}

// SQLite: one single-row INSERT on the connection's handle, each row bound and stepped as it
// comes.
class SqliteRows final : public BulkInsert::Writer {
public:
    SqliteRows(sqlite3 *db, const QString &sql)
        : m_db(db)
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
    [[noreturn]] void raise() const
    {
        raiseQueryFailed(QSqlError(QString(), QString::fromUtf8(sqlite3_errmsg(m_db)),
                                   QSqlError::StatementError));
    }

    sqlite3 *m_db;
    sqlite3_stmt *m_statement = nullptr;
};

// Any other database: a multi-row INSERT prepared once for every full batch.
class StatementBatches final : public BulkInsert::Writer {
public:
    // Under SQLite's smallest limit of bound values per statement (999), and past the size from
    // which larger batches no longer pay.
    static constexpr qsizetype MaxValuesPerStatement = 999;
    static constexpr qsizetype MaxRowsPerStatement = 100;

    StatementBatches(const AccountSet &set, const QString &table, const QStringList &columns)
        : m_set(set)
        , m_table(table)
        , m_columns(columns)
        , m_batchRows(
              qMin(MaxRowsPerStatement, MaxValuesPerStatement / qMax(qsizetype(1), columns.size())))
    {
        m_waiting.reserve(m_batchRows * m_columns.size());
    }

    void add(const QVariantList &row) override
    {
        m_waiting.append(row);
        if (m_waiting.size() < m_batchRows * m_columns.size())
            return;
        if (!m_fullBatch) {
            m_fullBatch = std::make_unique<PreparedStatement>(
                m_set, insertStatement(m_table, m_columns, m_batchRows));
        }
        send(*m_fullBatch);
    }
    void finish() override
    {
        if (m_waiting.isEmpty())
            return;
        PreparedStatement rest(
            m_set, insertStatement(m_table, m_columns, m_waiting.size() / m_columns.size()));
        send(rest);
    }

private:
    void send(PreparedStatement &insert)
    {
        insert.exec(m_waiting);
        m_waiting.clear();
    }

    const AccountSet &m_set;
    QString m_table;
    QStringList m_columns;
    qsizetype m_batchRows;
    std::unique_ptr<PreparedStatement> m_fullBatch;
    QVariantList m_waiting;
};

} // namespace

BulkInsert::BulkInsert(const AccountSet &set, const QString &table, const QStringList &columns)
{
    if (sqlite3 *handle = set.driver().sqliteHandle(set.database()))
        m_writer = std::make_unique<SqliteRows>(handle, insertStatement(table, columns, 1));
    else
        m_writer = std::make_unique<StatementBatches>(set, table, columns);
}

BulkInsert::~BulkInsert() = default;

void BulkInsert::add(const QVariantList &row)
{
    Q_ASSERT(row.size() > 0);
    m_writer->add(row);
}

void BulkInsert::finish()
{
    m_writer->finish();
}

} // namespace FixedAssets
