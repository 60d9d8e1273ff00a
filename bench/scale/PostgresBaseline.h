#pragma once

#include "accountset/AccountSetLocation.h"
#include "scale/BaselineChange.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class QTemporaryFile;

// The physical limit of a write step on PostgreSQL: the same change to the same schema (its
// foreign keys, indexes and row guards on), written with libpq alone in one transaction: COPY
// and set-based statements. The change is what the step left in the account set: rows removed,
// changed and added, by each table's primary key, found against a copy of the tables taken
// before the step.
//
//     PostgresBaseline::Replay replay = PostgresBaseline::Replay::before(location);
//     ... the write step ...
//     const PostgresBaseline::Result raw = replay.run();   // raises if it made another change
//
// The copies live in two scratch schemas of the set's database (RawSchema, BeforeSchema), which
// the replay drops when it goes; the change waits in temporary files, so that the process's
// memory stays the step's own.
namespace Bench::PostgresBaseline {

inline const QString BeforeSchema = QStringLiteral("allocfix_bench_before");
inline const QString RawSchema = QStringLiteral("allocfix_bench_raw");

// The rows wait in temporary files, in COPY's text format.
using TableChange = Bench::TableChange<QTemporaryFile>;
using Change = Bench::Change<QTemporaryFile>;

struct Result {
    // From BEGIN to the end of COMMIT, on the clock and in CPU time of this process.
    double seconds = 0;
    double cpuSeconds = 0;
    qint64 removedRows = 0;
    qint64 changedRows = 0;
    qint64 addedRows = 0;
};

// Runs statements one after the other on a connection of its own (a thread may call it beside
// another's). Raises std::runtime_error at the first that fails.
void execute(const FixedAssets::AccountSetLocation &location, const QStringList &statements);

class Replay {
public:
    // Keeps the account set's rows as they are now, before the step.
    static Replay before(const FixedAssets::AccountSetLocation &location);
    // For a step that makes the account set: called after it, the state before is its tables
    // without rows.
    static Replay fromEmpty(const FixedAssets::AccountSetLocation &location);

    Replay(Replay &&) noexcept;
    Replay &operator=(Replay &&) noexcept;
    ~Replay();

    // Finds the change, writes it into a copy of the state before and requires the copy to equal
    // the account set. Raises std::runtime_error on any failure.
    Result run();

    // run()'s parts, for a caller that looks between them.
    Change change();
    // Makes RawSchema: the tables as the account set has them, holding the state before.
    void prepareCopy();
    Result write(const Change &change);
    // Rows that differ between RawSchema and the account set, in all tables.
    qint64 differencesLeft();

private:
    struct Session;
    explicit Replay(std::unique_ptr<Session> session);
    std::unique_ptr<Session> m_session;
};

} // namespace Bench::PostgresBaseline
