#pragma once

#include "accountset/AccountSet.h"

#include <QSqlQuery>
#include <QString>
#include <QVariantList>

namespace FixedAssets {

// A statement prepared once per pooled connection and reused by every later use of the same
// SQL, so a service call costs an execution rather than a parse (on PostgreSQL one round trip
// rather than three). While one use holds a statement, another use of the same SQL gets a
// statement of its own, so two uses never share one. (PostgreSQL reads one result at a time per
// connection: read a query to its end before running the next.)
//
//     PreparedStatement query(set, u"SELECT name FROM items WHERE item_id = ?"_s);
//     query.exec({itemId});
//     while (query.next())
//         names.append(query.value(0).toString());
//
// The statement goes back to the connection's cache, reset, when the object is destroyed; the
// cache goes with the connection (AccountSet::close). Only for statements that take values:
// PostgreSQL prepares no DDL.
class PreparedStatement {
public:
    PreparedStatement(const AccountSet &set, const QString &sql);
    ~PreparedStatement();
    PreparedStatement(const PreparedStatement &) = delete;
    PreparedStatement &operator=(const PreparedStatement &) = delete;

    // Binds values in order (replacing earlier ones) and runs the statement. Raises as
    // AccountSet::exec does.
    void exec(const QVariantList &values);
    bool next() { return m_query.next(); }
    QVariant value(int column) const { return m_query.value(column); }

    // Drops the statements cached for a connection; it must happen before the connection is
    // removed, or they would keep it in use.
    static void dropCache(const QString &connectionName);

private:
    AccountSet m_set;
    QString m_sql;
    quint64 m_closedConnections;
    QSqlQuery m_query;
};

} // namespace FixedAssets
