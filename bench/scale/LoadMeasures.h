#pragma once

#include <QList>
#include <QString>

#include <vector>

// What the load step judges: how a reader's run ended, whether the check's counts are those of a
// state the writer commits, the percentiles of the readers' times and the targets' verdicts.
namespace Bench::Load {

// How a run of a reader or of the writer ended. Busy is the account set's own message that
// another user is changing it: the one failure a reader may meet while the writer works.
enum class Outcome { Done, Busy, Failed };
Outcome outcomeOf(int exitCode, const QString &errors);

// The check's counts: cards to adjust, and how many of them by hand.
struct CheckCounts {
    int total = -1;
    int manual = -1;
    friend bool operator==(const CheckCounts &, const CheckCounts &) = default;
};
// The counts of `allocfix check --format json`; total -1 when the output is none.
CheckCounts countsOf(const QByteArray &json);
// The counts add up when they are those of one of the states the writer commits (measured with
// the writer alone): before the adjustment, after it, and after the import. An import or an
// adjustment seen half-saved shows counts between them.
bool countsAddUp(const QList<CheckCounts> &committed, const CheckCounts &seen);

// A card's rows are all legacy rows (department 0) before it is adjusted and none after: a read
// that sees both, given the departments of the card's rows, has seen a save half done.
bool mixesLegacyRows(const QList<int> &rowDepartments);

// Nearest-rank percentiles of times in milliseconds; zeros for none.
struct Percentiles {
    double p50 = 0;
    double p95 = 0;
    double p99 = 0;
};
Percentiles percentilesOf(std::vector<double> milliseconds);

// The target is met when the time under load is at most limit times the time alone.
bool withinTarget(double underLoad, double alone, double limit);

} // namespace Bench::Load
