#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>

namespace Bench {

// The steps of a run, in the order they run.
// "program" runs the allocfix program on a fresh set of the same size: check, adjust, export to
// .csv and .xlsx, and import of a filled worksheet, checked only and saved.
// "load" runs one writer and many readers at once on a fresh set of the same size (LoadRun.h).
inline const QStringList ScaleSteps{QStringLiteral("create"),  QStringLiteral("check"),
                                    QStringLiteral("adjust"),  QStringLiteral("page"),
                                    QStringLiteral("copy"),    QStringLiteral("validate"),
                                    QStringLiteral("save"),    QStringLiteral("page20"),
                                    QStringLiteral("program"), QStringLiteral("load")};

struct ScaleOptions {
    int cards = 100000;
    // Where the account set is made: "sqlite:/path" or a PostgreSQL URL, whose account set
    // tables are replaced.
    QString location;
    // A folder for the raw SQLite baseline's copies; empty for no raw baseline (on PostgreSQL
    // the baseline keeps its copies in the database, and runs when this is set).
    QString baselineFolder;
    // A subset of ScaleSteps; each needs the ones before it up to "adjust", and "copy",
    // "validate" and "save" need "page". "program" and "load" need only themselves.
    QStringList steps = ScaleSteps;
    // The resident memory of the program before any account set, for the memory step.
    double emptyProgramMb = 0;
    // For the program's steps: the allocfix program, a folder for its worksheets and output, and
    // the address space each run may take (0: no limit).
    QString program;
    QString workFolder;
    qint64 programMemoryLimitMb = 4096;
    // For the load step: the card reader beside the program, how many readers and for how long.
    QString cardReader;
    int loadReaders = 16;
    int loadSeconds = 60;
};

// Makes the account set and times the steps on it; answers the measurements. Prints progress
// to stderr. Raises on any failure, including a message box the wizard showed.
QJsonObject runScale(const ScaleOptions &options);

} // namespace Bench
