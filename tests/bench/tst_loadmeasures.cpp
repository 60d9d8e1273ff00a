// What the load step judges: how a reader's run ended, which counts of the check add up, a card
// read half saved, the percentiles and marks of its table, and that a break fails the run.
#include "scale/LoadMeasures.h"
#include "scale/LoadReport.h"
#include "scale/Report.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using Bench::Load::CheckCounts;
using Bench::Load::Outcome;

namespace {

QJsonObject times(double p50, double p99, int runs = 10)
{
    return {{u"runs"_s, runs}, {u"p50_ms"_s, p50}, {u"p95_ms"_s, p99}, {u"p99_ms"_s, p99}};
}

QJsonObject kind(double aloneP99, double underP99, bool met)
{
    return {{u"alone"_s, times(aloneP99 / 2, aloneP99)},
            {u"under_load"_s, times(underP99 / 2, underP99)},
            {u"judged_by"_s, u"p99_ms"_s},
            {u"met"_s, met}};
}

QJsonObject loadStep(qint64 breaks)
{
    QJsonObject errors{{u"check busy"_s, QJsonObject{{u"count"_s, 3}, {u"first"_s, u"busy"_s}}}};
    if (breaks > 0) {
        errors[u"break: check counts do not add up"_s] =
            QJsonObject{{u"count"_s, breaks}, {u"first"_s, u"7 to adjust, 7 by hand"_s}};
    }
    return {{u"readers"_s, 16},
            {u"seconds"_s, 60},
            {u"kinds"_s,
             QJsonObject{{u"check"_s, kind(100, 250, true)}, {u"export"_s, kind(100, 350, false)}}},
            {u"errors"_s, errors},
            {u"invariant_breaks"_s, breaks}};
}

} // namespace

class tst_LoadMeasures : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void outcomeOfARun_data();
    void outcomeOfARun();
    void countsAddUpOnlyInACommittedState_data();
    void countsAddUpOnlyInACommittedState();
    void aCardHalfSaved_data();
    void aCardHalfSaved();
    void percentiles_data();
    void percentiles();
    void targetAgainstTheTimeAlone_data();
    void targetAgainstTheTimeAlone();
    void tableMarksEachKind();
    void aBreakFailsTheRun_data();
    void aBreakFailsTheRun();
};

void tst_LoadMeasures::outcomeOfARun_data()
{
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("errors");
    QTest::addColumn<int>("outcome");
    const QString busy = u"allocfix: 另一个用户正在修改账套 a.fa。没有保存任何内容；请稍后重试。"_s;
    QTest::newRow("done") << 0 << QString() << int(Outcome::Done);
    QTest::newRow("busy") << 1 << busy << int(Outcome::Busy);
    QTest::newRow("another failure") << 1 << u"allocfix: 账套已损坏"_s << int(Outcome::Failed);
    QTest::newRow("busy words, bad input") << 2 << busy << int(Outcome::Failed);
    QTest::newRow("killed") << 134 << QString() << int(Outcome::Failed);
}

void tst_LoadMeasures::outcomeOfARun()
{
    QFETCH(int, exitCode);
    QFETCH(QString, errors);
    QFETCH(int, outcome);
    QCOMPARE(int(Bench::Load::outcomeOf(exitCode, errors)), outcome);
}

void tst_LoadMeasures::countsAddUpOnlyInACommittedState_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<bool>("addsUp");
    QTest::newRow("before the adjustment")
        << R"({"total": 80, "automatic": 60, "manual": 20})"_ba << true;
    QTest::newRow("after the adjustment") << R"({"total": 20, "manual": 20})"_ba << true;
    QTest::newRow("after the import") << R"({"total": 0, "manual": 0})"_ba << true;
    QTest::newRow("an import half saved") << R"({"total": 7, "manual": 7})"_ba << false;
    QTest::newRow("an adjustment half saved") << R"({"total": 50, "manual": 20})"_ba << false;
    QTest::newRow("no counts") << R"({"error": "busy"})"_ba << false;
    QTest::newRow("no output") << QByteArray() << false;
}

void tst_LoadMeasures::countsAddUpOnlyInACommittedState()
{
    QFETCH(QByteArray, json);
    QFETCH(bool, addsUp);
    const QList<CheckCounts> committed{{80, 20}, {20, 20}, {0, 0}};
    QCOMPARE(Bench::Load::countsAddUp(committed, Bench::Load::countsOf(json)), addsUp);
}

void tst_LoadMeasures::aCardHalfSaved_data()
{
    QTest::addColumn<QList<int>>("departments");
    QTest::addColumn<bool>("mixed");
    QTest::newRow("legacy rows only") << QList<int>{0, 0, 0} << false;
    QTest::newRow("department rows only") << QList<int>{11, 12, 12} << false;
    QTest::newRow("no rows") << QList<int>{} << false;
    QTest::newRow("both") << QList<int>{0, 12} << true;
    QTest::newRow("both, legacy last") << QList<int>{11, 0} << true;
}

void tst_LoadMeasures::aCardHalfSaved()
{
    QFETCH(QList<int>, departments);
    QFETCH(bool, mixed);
    QCOMPARE(Bench::Load::mixesLegacyRows(departments), mixed);
}

void tst_LoadMeasures::percentiles_data()
{
    QTest::addColumn<QList<double>>("milliseconds");
    QTest::addColumn<QList<double>>("expected"); // p50, p95, p99
    QList<double> hundred;
    for (int ms = 100; ms >= 1; --ms)
        hundred.append(ms);
    QTest::newRow("none") << QList<double>{} << QList<double>{0, 0, 0};
    QTest::newRow("one") << QList<double>{7} << QList<double>{7, 7, 7};
    QTest::newRow("five") << QList<double>{5, 1, 4, 2, 3} << QList<double>{3, 5, 5};
    QTest::newRow("a hundred, unsorted") << hundred << QList<double>{50, 95, 99};
}

void tst_LoadMeasures::percentiles()
{
    QFETCH(QList<double>, milliseconds);
    QFETCH(QList<double>, expected);
    const Bench::Load::Percentiles p =
        Bench::Load::percentilesOf({milliseconds.cbegin(), milliseconds.cend()});
    QCOMPARE((QList<double>{p.p50, p.p95, p.p99}), expected);
}

void tst_LoadMeasures::targetAgainstTheTimeAlone_data()
{
    QTest::addColumn<double>("underLoad");
    QTest::addColumn<double>("alone");
    QTest::addColumn<double>("limit");
    QTest::addColumn<bool>("met");
    QTest::newRow("readers at 3×") << 300.0 << 100.0 << 3.0 << true;
    QTest::newRow("readers past 3×") << 301.0 << 100.0 << 3.0 << false;
    QTest::newRow("writer at 1.5×") << 15.0 << 10.0 << 1.5 << true;
    QTest::newRow("writer past 1.5×") << 15.1 << 10.0 << 1.5 << false;
    QTest::newRow("nothing measured alone") << 1.0 << 0.0 << 3.0 << false;
}

void tst_LoadMeasures::targetAgainstTheTimeAlone()
{
    QFETCH(double, underLoad);
    QFETCH(double, alone);
    QFETCH(double, limit);
    QFETCH(bool, met);
    QCOMPARE(Bench::Load::withinTarget(underLoad, alone, limit), met);
}

void tst_LoadMeasures::tableMarksEachKind()
{
    const QString table = Bench::Load::markdown(100000, loadStep(0), loadStep(2));
    const QStringList lines = table.split(u'\n');
    const auto row = [&lines](const QString &label) {
        for (const QString &line : lines) {
            if (line.startsWith(u"| "_s + label))
                return line;
        }
        return QString();
    };
    QVERIFY2(row(u"`allocfix check`"_s).contains(u"| 2.50× ✓ |"_s), qPrintable(table));
    QVERIFY2(row(u"`allocfix export"_s).contains(u"| 3.50× ✗ |"_s), qPrintable(table));
    QVERIFY2(row(u"invariant breaks"_s).contains(u"| 0 ✓ |"_s), qPrintable(table));
    QVERIFY2(row(u"invariant breaks"_s).contains(u"| 2 ✗ |"_s), qPrintable(table));
    QVERIFY2(table.contains(u"check busy: 3"_s), qPrintable(table));
}

void tst_LoadMeasures::aBreakFailsTheRun_data()
{
    QTest::addColumn<qint64>("breaks");
    QTest::addColumn<int>("failures");
    QTest::newRow("none") << qint64{0} << 0;
    QTest::newRow("counts that do not add up") << qint64{2} << 1;
}

void tst_LoadMeasures::aBreakFailsTheRun()
{
    QFETCH(qint64, breaks);
    QFETCH(int, failures);
    const QJsonObject run{{u"backend"_s, u"postgresql"_s},
                          {u"steps"_s, QJsonObject{{u"load"_s, loadStep(breaks)}}}};
    const QStringList failed = Bench::Report::failedRuns(Bench::Report::document({{1000, {run}}}));
    QCOMPARE(failed.size(), failures);
    if (failures > 0)
        QVERIFY2(failed.first().contains(u"7 to adjust, 7 by hand"_s), qPrintable(failed.first()));
}

QTEST_GUILESS_MAIN(tst_LoadMeasures)
#include "tst_loadmeasures.moc"
