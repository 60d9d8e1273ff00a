#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>

// The results of a run: the machine, and one object per database as runScale answers it.
namespace Bench::Report {

QJsonObject machine();

// The runs of one size, one per database.
struct Size {
    int cards = 0;
    QList<QJsonObject> runs;
};
// {"machine": ..., "cards": largest, "sizes": [{"cards": N, "runs": [...]}, ...]} as written to
// the JSON file. A PostgreSQL run's step may carry its raw baseline as "rawPg" (or "baseline").
QJsonObject document(const QList<Size> &sizes);
// The documents of runs made one after the other (each database alone, say) as one: the runs of
// each size side by side, the machine and time of the first. A later run of a database a size
// already has adds its steps to the earlier one (a load step run on its own, say).
QJsonObject merged(const QList<QJsonObject> &documents);
// The Markdown table of a document (or of an earlier one of a single size): every step at every
// size, on each database beside its raw baseline, PostgreSQL against SQLite, and the growth from
// the size before.
QString markdown(const QJsonObject &document);

// The program's runs that failed for another reason than their memory limit: "N cards, backend,
// step: exit code: error".
QStringList failedRuns(const QJsonObject &document);

// The targets the growth column marks. The peak a flat program step may reach.
inline constexpr double FlatMemoryMb = 150;
// larger ÷ smaller; 0 when there is nothing to compare with.
double timeGrowth(double smaller, double larger);
// The most a step's time may grow from smallerCards to largerCards: 11× for 10×.
double growthLimit(int smallerCards, int largerCards);
// At most FlatMemoryMb at the larger size, and within 20 % of the smaller size's peak.
bool memoryFlat(double smallerMb, double largerMb);

} // namespace Bench::Report
