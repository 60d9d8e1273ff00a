#pragma once

#include <QJsonObject>
#include <QString>

#include <functional>

// The load step: one writer and many readers on one account set at once. The writer repeats
// `allocfix adjust`, then `allocfix import` of a filled worksheet, then puts the set back as it
// was; the readers run `allocfix check`, `export` and `audit --verify`, and read cards as the
// wizard's visit does (bench_cardreads). Each reader kind's times and the writer's cycle are
// measured alone first, then under load. A run whose check shows counts of no committed state,
// whose audit chain is not intact, or whose reader fails for anything but the busy message, is an
// invariant break, and the step fails.
namespace Bench::Load {

struct LoadOptions {
    // A fresh account set of the benchmark's shape, not yet adjusted: "sqlite:/path" or a
    // PostgreSQL URL.
    QString location;
    QString program;    // allocfix
    QString cardReader; // bench_cardreads
    QString workFolder;
    int readers = 16;
    int seconds = 60;
    qint64 memoryLimitMb = 4096;
    // Runs of each reader kind measured alone.
    int samplesAlone = 5;
    std::function<void(const QString &)> progress;
};

// Raises std::runtime_error when the set cannot be made ready (the writer's first cycle alone
// failed); invariant breaks under load are in the answer ("invariant_breaks").
QJsonObject runLoad(const LoadOptions &options);

} // namespace Bench::Load
