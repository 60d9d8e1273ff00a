#pragma once

#include "scale/BaselineChange.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

// The physical limit of a write step on SQLite: the same change to the same schema, written with
// the C API alone, in one transaction, every statement prepared once. The change is what the
// step left in the database (rows it removed, changed and added, found by comparing copies taken
// before and after it), so the baseline writes exactly the rows the step wrote and no more.
namespace Bench::SqliteBaseline {

// The rows wait in memory, held compactly.
class TableRows;
using TableChange = Bench::TableChange<TableRows>;
using Change = Bench::Change<TableRows>;

// The connection settings the change is written with, as the account set's own connection has
// them.
struct Settings {
    QString journalMode = QStringLiteral("delete");
    int synchronous = 2;
};

// A consistent copy of an SQLite database file, taken with the online backup API.
void copyDatabase(const QString &from, const QString &to);
// A new database file with the schema of another and none of its rows.
void createEmptyLike(const QString &model, const QString &path);
// The change that turns the database at before into the one at after.
Change changeBetween(const QString &before, const QString &after);
struct WriteTime {
    double seconds = 0;
    double cpuSeconds = 0;
};
// Writes the change into the database at path (a copy of before) and returns the time it took,
// from BEGIN to the end of COMMIT, on the clock and in CPU time of the process.
WriteTime write(const QString &path, const Change &change, const Settings &settings);

} // namespace Bench::SqliteBaseline
