#pragma once

#include <QList>
#include <QStringList>
#include <QVariantList>

#include <memory>

namespace FixedAssets {

class AccountSet;

// Inserts many rows into one table through the database's own library on the connection's
// handle, inside the caller's transaction: on SQLite one INSERT prepared once, each row bound and
// stepped (Qt's binding costs more per value than SQLite's insert); on PostgreSQL a COPY, the rows
// sent a buffer at a time rather than a round trip each. On PostgreSQL the connection serves
// nothing else from the first add() to finish(), so finish one table before writing another;
// rows not finished are not written, and an unfinished copy fails the transaction.
//
//     BulkInsert items(set, u"items"_s, {u"item_id"_s, u"class_id"_s, u"name"_s});
//     for (...)
//         items.add({id, 2, name});
//     items.finish();
//
// Batched (rowsPerBatch > 0), the rows wait in memory, rowsPerBatch at most, and each batch is
// written and finished at once: between two add() calls the connection is free for the
// caller's other statements, and memory does not grow with the rows.
class BulkInsert {
public:
    BulkInsert(const AccountSet &set, const QString &table, const QStringList &columns,
               qsizetype rowsPerBatch = 0);
    ~BulkInsert();
    BulkInsert(const BulkInsert &) = delete;
    BulkInsert &operator=(const BulkInsert &) = delete;

    // One value per column, in the columns' order: integers, doubles, texts or null. Raises
    // QueryFailed when the database refuses the row (PostgreSQL, or batched: when it is written).
    void add(const QVariantList &row);
    // Writes the rows still waiting.
    void finish();

    // How the rows reach the database; chosen by the constructor.
    class Writer {
    public:
        virtual ~Writer() = default;
        virtual void add(const QVariantList &row) = 0;
        virtual void finish() = 0;
    };

private:
    void writeWaiting();

    std::unique_ptr<Writer> m_writer;
    qsizetype m_rowsPerBatch = 0;
    QList<QVariantList> m_waiting; // batched: the rows not yet written
};

// One statement that takes a row's values (an UPDATE or a DELETE by key) run for many rows
// inside the caller's transaction, prepared once on the connection's handle and each row bound
// and stepped as BulkInsert binds them. SQLite only: on PostgreSQL each row would be a round
// trip, so changes go there set-based, from a table that BulkInsert fills.
class RowStatement {
public:
    RowStatement(const AccountSet &set, const QString &sql);
    ~RowStatement();
    RowStatement(const RowStatement &) = delete;
    RowStatement &operator=(const RowStatement &) = delete;

    // Raises QueryFailed when the database refuses the row.
    void run(const QVariantList &row);

private:
    std::unique_ptr<BulkInsert::Writer> m_writer;
};

} // namespace FixedAssets
