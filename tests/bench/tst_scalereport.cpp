// What the scale benchmark judges and how it runs the program: the growth and memory targets,
// the table's verdicts, and a child that outgrows its memory limit reported as such.
#include "scale/ChildProcess.h"
#include "scale/Report.h"

#include <QJsonArray>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdlib>
#include <cstring>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

QJsonObject run(const QString &backend, const QJsonObject &steps)
{
    return {{u"backend"_s, backend}, {u"steps"_s, steps}};
}

QJsonObject programStep(double seconds, double peakMb)
{
    return {{u"seconds"_s, seconds}, {u"cpu_seconds"_s, seconds}, {u"peak_mb"_s, peakMb}};
}

// The table row of a step at a size.
QString rowOf(const QString &table, const QString &label, const QString &cards)
{
    const QStringList lines = table.split(u'\n');
    for (const QString &line : lines) {
        if (line.startsWith(u"| "_s + label) && line.contains(u"| "_s + cards + u" |"_s))
            return line;
    }
    return {};
}

} // namespace

class tst_ScaleReport : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void growthAgainstTheCards_data();
    void growthAgainstTheCards();
    void flatMemory_data();
    void flatMemory();
    void tableMarksWhatBreaksItsTarget_data();
    void tableMarksWhatBreaksItsTarget();
    void earlierSingleSizeResultsStillRender();
    void aStepRunApartJoinsItsDatabasesRun();
    void onlyFailuresOtherThanMemoryFailTheRun_data();
    void onlyFailuresOtherThanMemoryFailTheRun();
    void childRuns_data();
    void childRuns();
    void aChildIsMeasuredAlone();
};

void tst_ScaleReport::growthAgainstTheCards_data()
{
    QTest::addColumn<double>("smaller");
    QTest::addColumn<double>("larger");
    QTest::addColumn<int>("smallerCards");
    QTest::addColumn<int>("largerCards");
    QTest::addColumn<bool>("within");
    QTest::newRow("linear") << 1.0 << 10.0 << 100000 << 1000000 << true;
    QTest::newRow("11x for 10x") << 2.0 << 22.0 << 100000 << 1000000 << true;
    QTest::newRow("14.6x for 10x") << 1.79 << 26.1 << 100000 << 1000000 << false;
    QTest::newRow("3x for 2x") << 1.0 << 3.0 << 500 << 1000 << false;
}

void tst_ScaleReport::growthAgainstTheCards()
{
    QFETCH(double, smaller);
    QFETCH(double, larger);
    QFETCH(int, smallerCards);
    QFETCH(int, largerCards);
    QFETCH(bool, within);
    QCOMPARE(Bench::Report::timeGrowth(smaller, larger) <=
                 Bench::Report::growthLimit(smallerCards, largerCards),
             within);
}

void tst_ScaleReport::flatMemory_data()
{
    QTest::addColumn<double>("smallerMb");
    QTest::addColumn<double>("largerMb");
    QTest::addColumn<bool>("flat");
    QTest::newRow("same") << 90.0 << 95.0 << true;
    QTest::newRow("20% more") << 100.0 << 120.0 << true;
    QTest::newRow("25% more") << 100.0 << 125.0 << false;
    QTest::newRow("25% less") << 100.0 << 75.0 << false;
    QTest::newRow("flat but over 150 MB") << 140.0 << 151.0 << false;
    QTest::newRow("growing with the cards") << 90.0 << 900.0 << false;
}

void tst_ScaleReport::flatMemory()
{
    QFETCH(double, smallerMb);
    QFETCH(double, largerMb);
    QFETCH(bool, flat);
    QCOMPARE(Bench::Report::memoryFlat(smallerMb, largerMb), flat);
}

void tst_ScaleReport::tableMarksWhatBreaksItsTarget_data()
{
    QTest::addColumn<QJsonObject>("larger");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("marked");
    QTest::newRow("flat and linear") << programStep(20.0, 95.0) << u"10×"_s << false;
    QTest::newRow("time past 11x") << programStep(30.0, 95.0) << u"15×"_s << true;
    QTest::newRow("memory growing") << programStep(20.0, 900.0) << u"9.5× memory"_s << true;
    QTest::newRow("out of memory") << QJsonObject{{u"failed"_s, true},
                                                  {u"memory_limit"_s, true},
                                                  {u"memory_limit_mb"_s, 4096},
                                                  {u"seconds"_s, 40.0}}
                                   << u"did not finish (memory limit 4096 MB)"_s << true;
    QJsonObject withinRaw = programStep(15.0, 95.0);
    withinRaw[u"baseline"_s] = QJsonObject{{u"seconds"_s, 10.0}};
    QTest::newRow("within 2x raw") << withinRaw << u"SQLite ✓"_s << false;
    QJsonObject pastRaw = programStep(21.0, 95.0);
    pastRaw[u"baseline"_s] = QJsonObject{{u"seconds"_s, 10.0}};
    QTest::newRow("past 2x raw") << pastRaw << u"SQLite ✗"_s << true;
}

void tst_ScaleReport::tableMarksWhatBreaksItsTarget()
{
    QFETCH(QJsonObject, larger);
    QFETCH(QString, expected);
    QFETCH(bool, marked);
    const QList<Bench::Report::Size> sizes{
        {100000, {run(u"sqlite"_s, {{u"import"_s, programStep(2.0, 95.0)}})}},
        {1000000, {run(u"sqlite"_s, {{u"import"_s, larger}})}}};
    const QString table = Bench::Report::markdown(Bench::Report::document(sizes));
    const QString row = rowOf(table, u"`allocfix import`"_s, u"1,000,000"_s);
    QVERIFY2(row.contains(expected), qPrintable(row));
    QCOMPARE(row.contains(u"✗"_s), marked);
}

void tst_ScaleReport::earlierSingleSizeResultsStillRender()
{
    const QJsonObject earlier{
        {u"cards"_s, 100000},
        {u"runs"_s,
         QJsonArray{
             run(u"sqlite"_s,
                 {{u"save"_s, QJsonObject{{u"seconds"_s, 2.0},
                                          {u"baseline"_s, QJsonObject{{u"seconds"_s, 1.0}}}}}})}}};
    const QString row =
        rowOf(Bench::Report::markdown(earlier), u"`SaveAllocations`"_s, u"100,000"_s);
    QVERIFY2(row.contains(u"| 2.00 s | 1.00 s | 2.0× |"_s), qPrintable(row));
}

void tst_ScaleReport::aStepRunApartJoinsItsDatabasesRun()
{
    const auto documentOf = [](const QJsonObject &steps) {
        return Bench::Report::document({{100000, {run(u"sqlite"_s, steps)}}});
    };
    const QJsonObject whole = documentOf(
        {{u"import"_s, programStep(2.0, 95.0)}, {u"adjust"_s, QJsonObject{{u"seconds"_s, 7.0}}}});
    const QJsonObject apart = documentOf({{u"adjust"_s, QJsonObject{{u"seconds"_s, 5.0}}}});
    const QString table = Bench::Report::markdown(Bench::Report::merged({whole, apart}));
    QVERIFY2(rowOf(table, u"`allocfix import`"_s, u"100,000"_s).contains(u"2.00 s"_s),
             qPrintable(table));
    QVERIFY2(rowOf(table, u"automatic adjustment"_s, u"100,000"_s).contains(u"| 5.00 s |"_s),
             qPrintable(table));
}

void tst_ScaleReport::onlyFailuresOtherThanMemoryFailTheRun_data()
{
    QTest::addColumn<QJsonObject>("import");
    QTest::addColumn<int>("failures");
    QTest::newRow("finished") << programStep(2.0, 90.0) << 0;
    QTest::newRow("memory limit") << QJsonObject{{u"failed"_s, true}, {u"memory_limit"_s, true}}
                                  << 0;
    QTest::newRow("refused the worksheet")
        << QJsonObject{{u"failed"_s, true}, {u"memory_limit"_s, false}, {u"exit_code"_s, 2}} << 1;
}

void tst_ScaleReport::onlyFailuresOtherThanMemoryFailTheRun()
{
    QFETCH(QJsonObject, import);
    QFETCH(int, failures);
    const QList<Bench::Report::Size> sizes{
        {1000, {run(u"sqlite"_s, {{u"import"_s, import}}), run(u"postgresql"_s, {})}}};
    QCOMPARE(Bench::Report::failedRuns(Bench::Report::document(sizes)).size(), failures);
}

void tst_ScaleReport::childRuns_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<qint64>("limitMb");
    QTest::addColumn<bool>("finished");
    QTest::addColumn<bool>("memoryLimit");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("finished") << QStringList{u"--child-exit"_s, u"0"_s} << qint64{0} << true
                              << false << 0;
    QTest::newRow("refused its input")
        << QStringList{u"--child-exit"_s, u"2"_s} << qint64{1024} << false << false << 2;
    QTest::newRow("grew past the limit")
        << QStringList{u"--child-grow"_s, u"1536"_s} << qint64{1024} << false << true << 128 + 6;
}

void tst_ScaleReport::childRuns()
{
    QFETCH(QStringList, arguments);
    QFETCH(qint64, limitMb);
    QFETCH(bool, finished);
    QFETCH(bool, memoryLimit);
    QFETCH(int, exitCode);
    if (memoryLimit && !Bench::ChildProcess::memoryLimitApplies())
        QSKIP("no address space limit under AddressSanitizer");
    QTemporaryDir folder;
    const Bench::ChildProcess::Run child =
        Bench::ChildProcess::run(QCoreApplication::applicationFilePath(), arguments,
                                 folder.filePath(u"out"_s), folder.filePath(u"err"_s), limitMb);
    QCOMPARE(child.finished, finished);
    QCOMPARE(child.memoryLimit, memoryLimit);
    QCOMPARE(child.exitCode, exitCode);
    QVERIFY(child.peakMb > 0);
    if (exitCode == 2)
        QCOMPARE(child.error, u"refused"_s);
}

// The benchmark holds a large set's rows when it runs the program: the program's peak is its own.
void tst_ScaleReport::aChildIsMeasuredAlone()
{
    constexpr size_t HeldMb = 400;
    std::vector<char> held(HeldMb << 20, 1);
    QTemporaryDir folder;
    const Bench::ChildProcess::Run child = Bench::ChildProcess::run(
        QCoreApplication::applicationFilePath(), {u"--child-exit"_s, u"0"_s},
        folder.filePath(u"out"_s), folder.filePath(u"err"_s), 0);
    QVERIFY(held[held.size() / 2] == 1);
    QVERIFY2(child.peakMb > 0 && child.peakMb < HeldMb / 2,
             qPrintable(QString::number(child.peakMb)));
}

int main(int argc, char *argv[])
{
    // The child that childRuns starts: exits as told, or takes memory until it cannot.
    if (argc == 3 && std::strcmp(argv[1], "--child-exit") == 0) {
        std::fputs("refused\n", stderr);
        return std::atoi(argv[2]);
    }
    if (argc == 3 && std::strcmp(argv[1], "--child-grow") == 0) {
        std::vector<char> block(static_cast<size_t>(std::atoi(argv[2])) << 20, 1);
        return block[block.size() / 2] == 1 ? 0 : 1;
    }
    QCoreApplication app(argc, argv);
    tst_ScaleReport test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_scalereport.moc"
