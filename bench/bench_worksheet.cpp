// The worksheet round trip of the allocfix program on the 100,000-card demo set (20,000 cards
// left for manual work), each step a run of the program as an administrator runs it: the
// automatic adjustment, the export as .xlsx and as .csv, and the import of a filled-in worksheet,
// checked only and saved. Build it in Release for figures worth quoting:
//
//     cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release
//     cmake --build build/release --target bench_worksheet
//     build/release/bench/bench_worksheet
//
// The demo set is built once and kept in ALLOCFIX_BENCH_FOLDER, by default
// <temp>/allocfix-bench-worksheet; each run works on a copy.
#include "accountset/AccountSet.h"
#include "accountset/DemoData.h"
#include "scale/FilledWorksheet.h"
#include "worksheet/CsvFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QtTest>

#include <sys/resource.h>

using namespace Qt::StringLiterals;
using namespace FixedAssets;

namespace {

constexpr int Cards = 100000;

QString benchFolder()
{
    const QString folder = qEnvironmentVariable(
        "ALLOCFIX_BENCH_FOLDER", QDir::temp().filePath(u"allocfix-bench-worksheet"_s));
    QDir().mkpath(folder);
    return folder;
}

QString file(const QString &name)
{
    return QDir(benchFolder()).filePath(name);
}

struct Timing {
    double clock = -1.0; // seconds on the clock; -1: the run failed
    double cpu = 0.0;    // seconds of the program's CPU time, less shaken by a busy machine
};

double childCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    const auto seconds = [](const timeval &t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

Timing timed(const QStringList &arguments)
{
    QProcess program;
    program.setStandardOutputFile(QProcess::nullDevice());
    program.setStandardErrorFile(file(u"stderr.txt"_s));
    const double cpuBefore = childCpuSeconds();
    QElapsedTimer clock;
    clock.start();
    program.start(QStringLiteral(ALLOCFIX_PROGRAM), arguments);
    const bool ended = program.waitForFinished(-1);
    Timing timing{static_cast<double>(clock.elapsed()) / 1000.0, childCpuSeconds() - cpuBefore};
    if (!ended || program.exitCode() != 0) {
        QFile errors(file(u"stderr.txt"_s));
        errors.open(QIODevice::ReadOnly);
        qWarning("allocfix %s: exit %d\n%s", qPrintable(arguments.join(u' ')), program.exitCode(),
                 errors.readAll().constData());
        timing.clock = -1.0;
    }
    return timing;
}

} // namespace

class bench_Worksheet : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void roundTrip();
};

void bench_Worksheet::roundTrip()
{
    const QString pristine = file(u"cards-%1.fa"_s.arg(Cards));
    if (!QFileInfo::exists(pristine)) {
        createDemoAccountSet(u"sqlite:"_s + pristine, Cards);
        AccountSet::closeAll();
    }
    const QString set = file(u"work.fa"_s);
    for (const QString &suffix : {u""_s, u"-wal"_s, u"-shm"_s})
        QFile::remove(set + suffix);
    QVERIFY(QFile::copy(pristine, set));

    const Timing adjust = timed({u"adjust"_s, set});
    // In Chinese, the language fillWorksheet reads.
    const Timing xlsx = timed(
        {u"export"_s, set, u"-o"_s, file(u"worksheet.xlsx"_s), u"--force"_s, u"-l"_s, u"CHS"_s});
    const Timing csv = timed(
        {u"export"_s, set, u"-o"_s, file(u"worksheet.csv"_s), u"--force"_s, u"-l"_s, u"CHS"_s});
    Bench::fillWorksheet(file(u"worksheet.csv"_s), {file(u"filled.csv"_s)});
    const Timing dryRun = timed({u"import"_s, set, file(u"filled.csv"_s), u"--dry-run"_s});
    const Timing import = timed({u"import"_s, set, file(u"filled.csv"_s)});

    qInfo("%d cards, %.1f MB on SQLite; seconds on the clock and of CPU:", Cards,
          static_cast<double>(QFileInfo(pristine).size()) / (1024.0 * 1024.0));
    const std::pair<const char *, Timing> steps[]{{"adjust (the automatic adjustment)  ", adjust},
                                                  {"export -o worksheet.xlsx           ", xlsx},
                                                  {"export -o worksheet.csv            ", csv},
                                                  {"import --dry-run (every check)     ", dryRun},
                                                  {"import (every check, then the save)", import}};
    CsvReader filled(file(u"filled.csv"_s), WorksheetLimits);
    qsizetype lines = -1; // without the header
    while (filled.next())
        ++lines;
    qInfo("  the worksheet: %lld lines to import", static_cast<long long>(lines));
    for (const auto &[step, timing] : steps) {
        QVERIFY(timing.clock >= 0.0);
        qInfo("  %s %6.2f %6.2f", step, timing.clock, timing.cpu);
    }
}

int main(int argc, char *argv[])
{
    // Building the demo set takes longer than QtTest lets one function run.
    if (!qEnvironmentVariableIsSet("QTEST_FUNCTION_TIMEOUT"))
        qputenv("QTEST_FUNCTION_TIMEOUT", "7200000");
    QCoreApplication app(argc, argv);
    bench_Worksheet bench;
    return QTest::qExec(&bench, argc, argv);
}
#include "bench_worksheet.moc"
