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
#include "app/CsvFile.h"
#include "app/TableFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QtTest>

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

// The program's run and how long it took, in seconds.
double timed(const QStringList &arguments)
{
    QProcess program;
    program.setProcessChannelMode(QProcess::ForwardedOutputChannel);
    QElapsedTimer clock;
    clock.start();
    program.start(QStringLiteral(ALLOCFIX_PROGRAM), arguments);
    const bool ended = program.waitForFinished(-1);
    const double seconds = static_cast<double>(clock.elapsed()) / 1000.0;
    if (!ended || program.exitCode() != 0) {
        qWarning("allocfix %s: exit %d\n%s", qPrintable(arguments.join(u' ')), program.exitCode(),
                 program.readAllStandardError().constData());
        return -1.0;
    }
    return seconds;
}

// Each department of a card gets one row of 6602.01 for all of its share; its department item
// is the department. The exported lines stay as they were, showing the card.
void fillIn(const QString &exported, const QString &filled)
{
    const QList<CsvRecord> records = readCsvFile(exported);
    const auto table = TableFile::create(filled, true);
    QList<TableFile::Column> columns;
    for (const QString &header : records.first().fields)
        columns.append({header});
    table->addSheet(u"filled"_s, columns, 0);
    QString card;
    for (const CsvRecord &record : records.mid(1)) {
        table->addRow(QVariantList(record.fields.cbegin(), record.fields.cend()));
        if (record.fields[1] == card)
            continue;
        card = record.fields[1];
        const QStringList departments = record.fields[3].split(u"; "_s);
        for (const QString &share : departments) {
            QStringList line = record.fields;
            line[7] = share.section(u' ', 0, 0);
            line[8] = u"6602.01"_s;
            line[12] = u"100"_s;
            table->addRow(QVariantList(line.cbegin(), line.cend()));
        }
    }
    table->commit();
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

    const double adjust = timed({u"adjust"_s, set});
    const double xlsx = timed({u"export"_s, set, u"-o"_s, file(u"worksheet.xlsx"_s), u"--force"_s});
    const double csv = timed({u"export"_s, set, u"-o"_s, file(u"worksheet.csv"_s), u"--force"_s});
    fillIn(file(u"worksheet.csv"_s), file(u"filled.csv"_s));
    const double dryRun = timed({u"import"_s, set, file(u"filled.csv"_s), u"--dry-run"_s});
    const double import = timed({u"import"_s, set, file(u"filled.csv"_s)});
    for (const double seconds : {adjust, xlsx, csv, dryRun, import})
        QVERIFY(seconds >= 0.0);

    qInfo("%d cards, %.1f MB on SQLite; seconds on the clock:", Cards,
          static_cast<double>(QFileInfo(pristine).size()) / (1024.0 * 1024.0));
    qInfo("  adjust (the automatic adjustment)       %6.2f", adjust);
    qInfo("  export -o worksheet.xlsx                 %6.2f", xlsx);
    qInfo("  export -o worksheet.csv                  %6.2f", csv);
    qInfo("  import --dry-run (every check)           %6.2f", dryRun);
    qInfo("  import (every check, then the save)      %6.2f", import);
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
