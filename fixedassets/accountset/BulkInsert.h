#pragma once

#include "accountset/PreparedStatement.h"

#include <QStringList>
#include <QVariantList>

#include <memory>

namespace FixedAssets {

class AccountSet;

// Inserts many rows into one table, many rows to a statement: one multi-row INSERT, prepared
// once, serves every full batch, so a large fill costs one execution (one round trip) per batch
// rather than per row. Runs inside the caller's transaction; rows added after the last finish()
// are not written.
//
//     BulkInsert items(set, u"items"_s, {u"item_id"_s, u"class_id"_s, u"name"_s});
//     for (...)
//         items.add({id, 2, name});
//     items.finish();
class BulkInsert {
public:
    BulkInsert(const AccountSet &set, const QString &table, const QStringList &columns);
    ~BulkInsert();
    BulkInsert(const BulkInsert &) = delete;
    BulkInsert &operator=(const BulkInsert &) = delete;

    // One value per column, in the columns' order. Raises QueryFailed when a full batch is
    // refused.
    void add(const QVariantList &row);
    // Writes the rows still waiting.
    void finish();

private:
    QString statement(qsizetype rows) const;
    void send(PreparedStatement &insert);

    const AccountSet &m_set;
    QString m_table;
    QStringList m_columns;
    qsizetype m_batchRows;
    std::unique_ptr<PreparedStatement> m_fullBatch;
    QVariantList m_waiting;
};

} // namespace FixedAssets
