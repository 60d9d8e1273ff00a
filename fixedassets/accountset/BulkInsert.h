#pragma once

#include <QStringList>
#include <QVariantList>

#include <memory>

namespace FixedAssets {

class AccountSet;

// Inserts many rows into one table with one statement prepared once. On SQLite each row is bound
// and written through the C API on the connection's own handle, which spares the per-value cost
// of Qt's binding; on PostgreSQL a multi-row INSERT takes many rows at a time, so a large fill
// costs one round trip per batch rather than per row. Runs inside the caller's transaction;
// rows added after the last finish() may not be written.
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

    // One value per column, in the columns' order: integers, doubles, texts or null. Raises
    // QueryFailed when the database refuses the row, or the batch it completes.
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
    std::unique_ptr<Writer> m_writer;
};

} // namespace FixedAssets
