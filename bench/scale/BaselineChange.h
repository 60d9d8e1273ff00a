#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

// What a write step left in the account set, as both baselines find and replay it: rows removed
// (by key), changed and added, table by table. Rows is where a baseline keeps a table's rows.
namespace Bench {

template<class Rows>
struct TableChange {
    QString table;
    QStringList columns;
    QStringList keyColumns;
    std::shared_ptr<Rows> removedKeys;
    qint64 removedRows = 0;
    std::shared_ptr<Rows> changed;
    qint64 changedRows = 0;
    std::shared_ptr<Rows> added;
    qint64 addedRows = 0;
};

// Tables in the order their rows may be inserted: every table after those its rows refer to.
template<class Rows>
struct Change {
    std::vector<TableChange<Rows>> tables;
    qint64 removedRows = 0;
    qint64 changedRows = 0;
    qint64 addedRows = 0;

    // Adds table's change, counted in the totals.
    void append(TableChange<Rows> table)
    {
        removedRows += table.removedRows;
        changedRows += table.changedRows;
        addedRows += table.addedRows;
        tables.push_back(std::move(table));
    }
};

} // namespace Bench
