// The scale benchmark: an account set of N cards (default 100,000; 5,000 departments, 50 expense
// accounts, two to six rows per card, one card in five manual), the component's steps on it
// timed one after the other, the raw SQLite C API writing the same rows as the limit, and
// PostgreSQL beside SQLite when a server is given. See scripts/bench.
//
//     bench_scale [--cards N] [--pg URL] [--only create,check] [--out DIR] [--work DIR]
//     bench_scale --render results.json       (the Markdown table of earlier results)
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

#include <cstdio>
#include <exception>

using namespace Qt::StringLiterals;

namespace {

struct Options {
    QString render;
    int cards = 100000;
    QString postgres;
    QStringList steps = Bench::ScaleSteps;
    QString out;
    QString work;
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
    const QCommandLineOption cards(u"cards"_s, u"Cards in the account set (default 100000)."_s,
                                   u"N"_s, u"100000"_s);
    const QCommandLineOption postgres(
        u"pg"_s,
        u"Also run on this PostgreSQL database (postgresql://user@host:port/db). Its account set "
        "tables are replaced."_s,
        u"URL"_s);
    const QCommandLineOption only(
        u"only"_s, u"Run only these steps: "_s + Bench::ScaleSteps.join(u','), u"steps"_s);
    const QCommandLineOption out(u"out"_s, u"Folder for the Markdown and JSON results."_s, u"DIR"_s,
                                 u"bench-results"_s);
    const QCommandLineOption work(u"work"_s,
                                  u"Folder for the SQLite account sets (default: a temporary "
                                  "folder, removed afterwards)."_s,
                                  u"DIR"_s);
    const QCommandLineOption render(u"render"_s,
                                    u"Print the Markdown table of a JSON file of earlier results "
                                    "and run nothing."_s,
                                    u"FILE"_s);
    parser.addOptions({cards, postgres, only, out, work, render});
    if (!parser.parse(arguments))
        usage(parser, parser.errorText());
    if (parser.isSet(u"help"_s)) {
        std::fputs(qUtf8Printable(parser.helpText()), stdout);
        std::exit(0);
    }
    Options options;
    options.render = parser.value(render);
    bool ok = false;
    options.cards = parser.value(cards).toInt(&ok);
    if (!ok || options.cards < 10)
        usage(parser, u"--cards takes a number of at least 10"_s);
    options.postgres = parser.value(postgres);
    if (parser.isSet(only)) {
        options.steps = parser.value(only).split(u',', Qt::SkipEmptyParts);
        for (const QString &step : std::as_const(options.steps)) {
            if (!Bench::ScaleSteps.contains(step))
                usage(parser, u"unknown step \"%1\""_s.arg(step));
        }
    }
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
        QFile results(options.render);
        if (!results.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "bench_scale: cannot read %s\n", qUtf8Printable(options.render));
            return 2;
        }
        std::fputs(qUtf8Printable(Bench::Report::markdown(
                       QJsonDocument::fromJson(results.readAll()).object())),
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

    QList<QJsonObject> runs;
    try {
        Bench::ScaleOptions sqlite;
        sqlite.cards = options.cards;
        sqlite.location = u"sqlite:"_s + QDir(work).filePath(u"scale.fa"_s);
        sqlite.baselineFolder = work;
        sqlite.steps = options.steps;
        sqlite.emptyProgramMb = emptyProgramMb;
        runs.append(Bench::runScale(sqlite));

        if (!options.postgres.isEmpty()) {
            Bench::Component::unload();
            FixedAssets::AccountSet::closeAll();
            Bench::ScaleOptions postgres = sqlite;
            postgres.location = options.postgres;
            runs.append(Bench::runScale(postgres));
        }
    } catch (const std::exception &failure) {
        std::fprintf(stderr, "bench_scale: %s\n", failure.what());
        return 1;
    }
    Bench::Component::unload();
    FixedAssets::AccountSet::closeAll();

    const QJsonObject document = Bench::Report::document(options.cards, runs);
    const QString table = Bench::Report::markdown(document);
    const QString base = QDir(options.out).filePath(u"scale-%1"_s.arg(options.cards));
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
    return 0;
}
