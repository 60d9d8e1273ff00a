// The scale benchmark: an account set of N cards (default 100,000; 5,000 departments, 50 expense
// accounts, two to six rows per card, one card in five manual), the component's steps and the
// allocfix program's on it timed one after the other, the raw SQLite C API writing the same rows
// as the limit, and PostgreSQL beside SQLite when a server is given; at each size of a list, and
// how each step grows from one size to the next. See scripts/bench.
//
//     bench_scale [--cards N[,M...]] [--pg URL] [--only create,check] [--out DIR] [--work DIR]
//                 [--load-readers N] [--load-seconds S]
//     bench_scale --render results.json [--render more.json]   (the table of earlier results)
#include "accountset/AccountSet.h"
#include "scale/ComponentCalls.h"
#include "scale/ProcessMemory.h"
#include "scale/Report.h"
#include "scale/ScaleRun.h"
#include "services/HostServices.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <exception>

using namespace Qt::StringLiterals;

namespace {

struct Options {
    QStringList render;
    QList<int> sizes{100000};
    QString postgres;
    int postgresUpTo = 0; // the largest size PostgreSQL runs at; 0 for every size
    bool postgresOnly = false;
    qint64 memoryLimitMb = 4096;
    QStringList steps = Bench::ScaleSteps;
    QString out;
    QString work;
    int loadReaders = 16;
    int loadSeconds = 60;
};

[[noreturn]] void usage(QCommandLineParser &parser, const QString &error)
{
    std::fprintf(stderr, "bench_scale: %s\n\n%s", qUtf8Printable(error),
                 qUtf8Printable(parser.helpText()));
    std::exit(2);
}

Options parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(u"Times the card data adjustment on a large account set."_s);
    parser.addHelpOption();
    const QCommandLineOption cards(
        u"cards"_s,
        u"Cards in the account set (default 100000), or a comma-separated list of sizes, run "
        "smallest first. A single size of 1000000 or more runs a tenth of it first, so that the "
        "growth is measured."_s,
        u"N[,M...]"_s, u"100000"_s);
    const QCommandLineOption memoryLimit(
        u"memory-limit"_s,
        u"Address space each run of the allocfix program may take, in MB (default 4096; 0: no "
        "limit). A run past it is reported as not finished."_s,
        u"MB"_s, u"4096"_s);
    const QCommandLineOption postgres(
        u"pg"_s,
        u"Also run on this PostgreSQL database (postgresql://user@host:port/db). Its account set "
        "tables are replaced."_s,
        u"URL"_s);
    const QCommandLineOption postgresUpTo(
        u"pg-up-to"_s,
        u"Run PostgreSQL only at the sizes up to N cards (default: every size): at a million "
        "cards its steps and their raw baselines take the better part of an hour."_s,
        u"N"_s);
    const QCommandLineOption postgresOnly(
        u"pg-only"_s,
        u"Run on PostgreSQL alone, for a run of each database one after the other: --render "
        "puts the two results side by side."_s);
    const QCommandLineOption only(
        u"only"_s, u"Run only these steps: "_s + Bench::ScaleSteps.join(u','), u"steps"_s);
    const QCommandLineOption loadReaders(
        u"load-readers"_s, u"Readers beside the writer in the load step (default 16)."_s, u"N"_s,
        u"16"_s);
    const QCommandLineOption loadSeconds(
        u"load-seconds"_s,
        u"How long the load step keeps the writer and the readers at work (default 60)."_s, u"S"_s,
        u"60"_s);
    const QCommandLineOption out(u"out"_s, u"Folder for the Markdown and JSON results."_s, u"DIR"_s,
                                 u"bench-results"_s);
    const QCommandLineOption work(u"work"_s,
                                  u"Folder for the SQLite account sets (default: a temporary "
                                  "folder, removed afterwards)."_s,
                                  u"DIR"_s);
    const QCommandLineOption render(u"render"_s,
                                    u"Print the Markdown table of a JSON file of earlier results "
                                    "and run nothing. Given more than once, the runs of every "
                                    "file are shown together, size by size."_s,
                                    u"FILE"_s);
    parser.addOptions({cards, memoryLimit, postgres, postgresUpTo, postgresOnly, only, loadReaders,
                       loadSeconds, out, work, render});
    if (!parser.parse(arguments))
        usage(parser, parser.errorText());
    if (parser.isSet(u"help"_s)) {
        std::fputs(qUtf8Printable(parser.helpText()), stdout);
        std::exit(0);
    }
    Options options;
    options.render = parser.values(render);
    options.sizes.clear();
    const QStringList sizes = parser.value(cards).split(u',', Qt::SkipEmptyParts);
    for (const QString &size : sizes) {
        bool ok = false;
        const int count = size.trimmed().toInt(&ok);
        if (!ok || count < 10)
            usage(parser, u"--cards takes numbers of at least 10, separated by commas"_s);
        options.sizes.append(count);
    }
    if (options.sizes.isEmpty())
        usage(parser, u"--cards takes numbers of at least 10, separated by commas"_s);
    if (options.sizes.size() == 1 && options.sizes.first() >= 1000000)
        options.sizes.prepend(options.sizes.first() / 10);
    std::sort(options.sizes.begin(), options.sizes.end());
    options.sizes.erase(std::unique(options.sizes.begin(), options.sizes.end()),
                        options.sizes.end());
    bool ok = false;
    options.memoryLimitMb = parser.value(memoryLimit).toLongLong(&ok);
    if (!ok || options.memoryLimitMb < 0)
        usage(parser, u"--memory-limit takes a number of megabytes, or 0"_s);
    options.postgres = parser.value(postgres);
    if (parser.isSet(postgresUpTo)) {
        options.postgresUpTo = parser.value(postgresUpTo).toInt(&ok);
        if (!ok || options.postgresUpTo < 1)
            usage(parser, u"--pg-up-to takes a number of cards"_s);
    }
    options.postgresOnly = parser.isSet(postgresOnly);
    if (options.postgresOnly && options.postgres.isEmpty())
        usage(parser, u"--pg-only needs --pg"_s);
    if (parser.isSet(only)) {
        options.steps = parser.value(only).split(u',', Qt::SkipEmptyParts);
        for (const QString &step : std::as_const(options.steps)) {
            if (!Bench::ScaleSteps.contains(step))
                usage(parser, u"unknown step \"%1\""_s.arg(step));
        }
    }
    options.loadReaders = parser.value(loadReaders).toInt(&ok);
    if (!ok || options.loadReaders < 1)
        usage(parser, u"--load-readers takes a number of at least 1"_s);
    options.loadSeconds = parser.value(loadSeconds).toInt(&ok);
    if (!ok || options.loadSeconds < 1)
        usage(parser, u"--load-seconds takes a number of seconds, at least 1"_s);
    options.out = parser.value(out);
    options.work = parser.value(work);
    return options;
}

} // namespace

int main(int argc, char *argv[])
{
    // The wizard runs offscreen, as in the tests, unless a platform is asked for.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("QT_QPA_FONTDIR"))
        qputenv("QT_QPA_FONTDIR", "/usr/share/fonts");
    QApplication app(argc, argv);
    const Options options = parse(QCoreApplication::arguments());
    if (!options.render.isEmpty()) {
        QList<QJsonObject> documents;
        for (const QString &file : std::as_const(options.render)) {
            QFile results(file);
            if (!results.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "bench_scale: cannot read %s\n", qUtf8Printable(file));
                return 2;
            }
            documents.append(QJsonDocument::fromJson(results.readAll()).object());
        }
        std::fputs(qUtf8Printable(Bench::Report::markdown(Bench::Report::merged(documents))),
                   stdout);
        return 0;
    }

    QTemporaryDir temporary(QDir::tempPath() + u"/allocfix-bench-XXXXXX"_s);
    const QString work = options.work.isEmpty() ? temporary.path() : options.work;
    if (!QDir().mkpath(work) || !QDir().mkpath(options.out)) {
        std::fprintf(stderr, "bench_scale: cannot create %s or %s\n", qUtf8Printable(work),
                     qUtf8Printable(options.out));
        return 2;
    }

    FixedAssets::registerHostServices();
    const double emptyProgramMb =
        static_cast<double>(Bench::ProcessMemory::residentBytes()) / (1024.0 * 1024.0);

    QList<Bench::Report::Size> sizes;
    try {
        for (const int cards : options.sizes) {
            Bench::Report::Size size{cards, {}};
            Bench::ScaleOptions sqlite;
            sqlite.cards = cards;
            sqlite.location = u"sqlite:"_s + QDir(work).filePath(u"scale.fa"_s);
            sqlite.baselineFolder = work;
            sqlite.steps = options.steps;
            sqlite.emptyProgramMb = emptyProgramMb;
            sqlite.program = QStringLiteral(ALLOCFIX_PROGRAM);
            sqlite.workFolder = work;
            sqlite.programMemoryLimitMb = options.memoryLimitMb;
            sqlite.cardReader = QStringLiteral(ALLOCFIX_CARD_READER);
            sqlite.loadReaders = options.loadReaders;
            sqlite.loadSeconds = options.loadSeconds;
            if (!options.postgresOnly) {
                size.runs.append(Bench::runScale(sqlite));
                Bench::Component::unload();
                FixedAssets::AccountSet::closeAll();
            }

            if (!options.postgres.isEmpty() &&
                (options.postgresUpTo == 0 || cards <= options.postgresUpTo)) {
                Bench::ScaleOptions postgres = sqlite;
                postgres.location = options.postgres;
                size.runs.append(Bench::runScale(postgres));
                Bench::Component::unload();
                FixedAssets::AccountSet::closeAll();
            }
            sizes.append(size);
        }
    } catch (const std::exception &failure) {
        std::fprintf(stderr, "bench_scale: %s\n", failure.what());
        return 1;
    }

    const QJsonObject document = Bench::Report::document(sizes);
    const QString table = Bench::Report::markdown(document);
    QStringList names;
    for (const int cards : options.sizes)
        names.append(QString::number(cards));
    const QString base = QDir(options.out).filePath(u"scale-"_s + names.join(u'-'));
    QFile json(base + u".json"_s);
    QFile markdown(base + u".md"_s);
    if (!json.open(QIODevice::WriteOnly) || !markdown.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "bench_scale: cannot write %s.json or .md\n", qUtf8Printable(base));
        return 2;
    }
    json.write(QJsonDocument(document).toJson());
    markdown.write(table.toUtf8());
    std::fputs(qUtf8Printable(table), stdout);
    std::fprintf(stderr, "bench_scale: wrote %s.md and %s.json\n", qUtf8Printable(base),
                 qUtf8Printable(base));
    // A run of the program that failed for any reason but its memory limit is a fault the check
    // must see; the results are written first, so that the rest of a long run is kept.
    const QStringList failed = Bench::Report::failedRuns(document);
    for (const QString &failure : failed)
        std::fprintf(stderr, "bench_scale: %s\n", qUtf8Printable(failure));
    return failed.isEmpty() ? 0 : 1;
}
