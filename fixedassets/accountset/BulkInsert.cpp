#include "accountset/BulkInsert.h"

#include "accountset/AccountSet.h"

using namespace Qt::StringLiterals;

namespace FixedAssets {

namespace {
// Under SQLite's smallest limit of bound values per statement (999), and past the size from
// which larger batches no longer pay.
constexpr qsizetype MaxValuesPerStatement = 999;
constexpr qsizetype MaxRowsPerStatement = 100;
} // namespace

BulkInsert::BulkInsert(const AccountSet &set, const QString &table, const QStringList &columns)
    : m_set(set)
    , m_table(table)
    , m_columns(columns)
    , m_batchRows(
          qMin(MaxRowsPerStatement, MaxValuesPerStatement / qMax(qsizetype(1), columns.size())))
{
    m_waiting.reserve(m_batchRows * m_columns.size());
}

BulkInsert::~BulkInsert() = default;

QString BulkInsert::statement(qsizetype rows) const
{
    const QString row = u'(' + QStringList(m_columns.size(), u"?"_s).join(u", "_s) + u')';
    return u"INSERT INTO "_s + m_table + u" ("_s + m_columns.join(u", "_s) + u") VALUES "_s +
           QStringList(rows, row).join(u", "_s);
}

void BulkInsert::add(const QVariantList &row)
{
    Q_ASSERT(row.size() == m_columns.size());
    m_waiting.append(row);
    if (m_waiting.size() < m_batchRows * m_columns.size())
        return;
    if (!m_fullBatch)
        m_fullBatch = std::make_unique<PreparedStatement>(m_set, statement(m_batchRows));
    send(*m_fullBatch);
}

void BulkInsert::finish()
{
    if (m_waiting.isEmpty())
        return;
    PreparedStatement rest(m_set, statement(m_waiting.size() / m_columns.size()));
    send(rest);
}

void BulkInsert::send(PreparedStatement &insert)
{
    insert.exec(m_waiting);
    m_waiting.clear();
}

} // namespace FixedAssets
