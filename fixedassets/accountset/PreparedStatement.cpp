#include "accountset/PreparedStatement.h"

#include <QHash>
#include <QSqlError>

namespace FixedAssets {

namespace {

// Idle statements by connection name, then by SQL. Lives on the user-interface thread with the
// connection pool it mirrors.
QHash<QString, QMultiHash<QString, QSqlQuery>> &idleStatements()
{
    static QHash<QString, QMultiHash<QString, QSqlQuery>> statements;
    return statements;
}

} // namespace

PreparedStatement::PreparedStatement(const AccountSet &set, const QString &sql)
    : m_set(set)
    , m_sql(sql)
    , m_closedConnections(AccountSet::closedConnections())
{
    QMultiHash<QString, QSqlQuery> &idle = idleStatements()[set.database().connectionName()];
    const auto found = idle.find(sql);
    if (found != idle.end()) {
        m_query = std::move(*found);
        idle.erase(found);
        return;
    }
    m_query = QSqlQuery(set.database());
    // A server's driver reads a forward-only result a row per message, each a result of its
    // own to build and free: far dearer than the row. The statements kept here read bounded
    // results (a card, a window of the queue, a batch), so there it takes each whole.
    m_query.setForwardOnly(!set.driver().dialect().roundTripPerStatement());
    if (!m_query.prepare(sql))
        m_set.raise(m_query.lastError());
}

PreparedStatement::~PreparedStatement()
{
    // Reset, so that an idle statement holds no read lock and no open result.
    m_query.finish();
    // A connection closed meanwhile may have been this one.
    if (m_closedConnections == AccountSet::closedConnections())
        idleStatements()[m_set.database().connectionName()].insert(m_sql, std::move(m_query));
}

void PreparedStatement::exec(const QVariantList &values)
{
    m_set.requireStorable(values);
    for (qsizetype i = 0; i < values.size(); ++i)
        m_query.bindValue(static_cast<int>(i), values[i]);
    if (!m_query.exec())
        m_set.raise(m_query.lastError());
}

void PreparedStatement::dropCache(const QString &connectionName)
{
    idleStatements().remove(connectionName);
}

} // namespace FixedAssets
