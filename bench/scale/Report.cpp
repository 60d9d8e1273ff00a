#include "scale/Report.h"

#include "scale/LoadReport.h"

#include <QDateTime>
#include <QFile>
#include <QJsonArray>
#include <QLocale>
#include <QMap>
#include <QSysInfo>
#include <QThread>

#include <algorithm>
#include <functional>
#include <optional>
#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace Bench::Report {

namespace {

// The first "name : value" line of a /proc file that starts with name.
QString procValue(const QString &file, const QString &name)
{
    QFile proc(file);
    if (!proc.open(QIODevice::ReadOnly))
        return {};
    const QStringList lines = QString::fromUtf8(proc.readAll()).split(u'\n');
    for (const QString &line : lines) {
        if (line.startsWith(name))
            return line.section(u':', 1).trimmed();
    }
    return {};
}

QString seconds(double value)
{
    if (value >= 100)
        return QString::number(value, 'f', 0) + u" s"_s;
    if (value >= 10)
        return QString::number(value, 'f', 1) + u" s"_s;
    if (value >= 1)
        return QString::number(value, 'f', 2) + u" s"_s;
    return QString::number(value, 'f', 3) + u" s"_s;
}

QString ratio(double value)
{
    return QString::number(value, 'f', value >= 10 ? 0 : (value >= 1 ? 1 : 2)) + u"×"_s;
}

QString milliseconds(double value)
{
    return QString::number(value, 'f', value >= 10 ? 0 : 1);
}

QString count(qint64 value)
{
    return QLocale(QLocale::English).toString(value);
}

struct Runs {
    int cards = 0;
    QJsonObject sqlite;
    QJsonObject postgresql;
};

// The finish after the manual step, as a user waits for it: the rows loaded, validated and
// saved, summed from the three steps when all of them ran.
QJsonObject withFinish(QJsonObject run)
{
    QJsonObject steps = run.value(u"steps"_s).toObject();
    double seconds = 0;
    for (const QString &name : {u"load_rows"_s, u"validate"_s, u"save"_s}) {
        const QJsonObject part = steps.value(name).toObject();
        if (part.isEmpty() || part.value(u"failed"_s).toBool())
            return run;
        seconds += part.value(u"seconds"_s).toDouble();
    }
    steps[u"finish"_s] = QJsonObject{{u"seconds"_s, seconds}};
    run[u"steps"_s] = steps;
    return run;
}

Runs runsOf(const QJsonObject &size)
{
    Runs runs;
    runs.cards = size.value(u"cards"_s).toInt();
    const QJsonArray list = size.value(u"runs"_s).toArray();
    for (const QJsonValue &run : list) {
        const QJsonObject object = run.toObject();
        if (object.value(u"backend"_s).toString() == u"sqlite")
            runs.sqlite = withFinish(object);
        else
            runs.postgresql = withFinish(object);
    }
    return runs;
}

// Every size of a document, smallest first; a document of one size, as earlier runs wrote it, is
// read as a list of one.
QList<Runs> sizesOf(const QJsonObject &document)
{
    QList<Runs> sizes;
    if (!document.contains(u"sizes"_s)) {
        sizes.append(runsOf(document));
        return sizes;
    }
    const QJsonArray list = document.value(u"sizes"_s).toArray();
    for (const QJsonValue &size : list)
        sizes.append(runsOf(size.toObject()));
    return sizes;
}

QJsonObject step(const QJsonObject &run, const QString &name)
{
    return run.value(u"steps"_s).toObject().value(name).toObject();
}

// The raw PostgreSQL baseline of a step, under either name a run may give it.
QJsonObject rawPostgres(const QJsonObject &pgStep)
{
    const QJsonObject raw = pgStep.value(u"rawPg"_s).toObject();
    return raw.isEmpty() ? pgStep.value(u"baseline"_s).toObject() : raw;
}

// A step's time and, for a program's run, its CPU time and peak memory; or why it did not finish.
QString measured(const QJsonObject &step)
{
    if (step.isEmpty())
        return {};
    if (step.value(u"failed"_s).toBool()) {
        if (step.value(u"memory_limit"_s).toBool()) {
            return u"did not finish (memory limit %1 MB)"_s.arg(
                step.value(u"memory_limit_mb"_s).toInteger());
        }
        return u"failed (exit %1: %2)"_s.arg(step.value(u"exit_code"_s).toInt())
            .arg(step.value(u"error"_s).toString());
    }
    QString text = seconds(step.value(u"seconds"_s).toDouble());
    if (step.contains(u"peak_mb"_s)) {
        text += u" (CPU "_s + seconds(step.value(u"cpu_seconds"_s).toDouble()) + u", "_s +
                QString::number(step.value(u"peak_mb"_s).toDouble(), 'f', 0) + u" MB)"_s;
    }
    return text;
}

// The ratio of a step to its raw baseline, on the clock and, where the database runs in this
// process, in CPU time: CPU time shows the same ratio apart from what else the machine ran (a
// server's work is not in it).
QString toRaw(const QJsonObject &step, const QJsonObject &raw, bool inProcess)
{
    const double rawSeconds = raw.value(u"seconds"_s).toDouble();
    if (step.isEmpty() || rawSeconds <= 0 || step.value(u"failed"_s).toBool())
        return {};
    QString text = ratio(step.value(u"seconds"_s).toDouble() / rawSeconds);
    const double rawCpu = raw.value(u"cpu_seconds"_s).toDouble();
    if (inProcess && rawCpu > 0 && step.contains(u"cpu_seconds"_s))
        text += u" (CPU "_s + ratio(step.value(u"cpu_seconds"_s).toDouble() / rawCpu) + u')';
    return text;
}

bool usable(const QJsonObject &step)
{
    return !step.isEmpty() && !step.value(u"failed"_s).toBool();
}

enum class Kind { Timed, Paging };

// Whether one database's step met a target at one size; nullopt where the target does not judge
// it (another size, no baseline, a step that did not finish).
using Judge =
    std::function<std::optional<bool>(int cards, const QJsonObject &run, const QJsonObject &step,
                                      const QJsonObject &raw, const QJsonObject &sqliteStep)>;

double secondsOf(const QJsonObject &step)
{
    return step.value(u"seconds"_s).toDouble();
}

// The step's clock time ÷ its raw baseline's, within sqliteLimit on SQLite and pgLimit on
// PostgreSQL.
Judge toRawWithin(double sqliteLimit, double pgLimit)
{
    return [=](int, const QJsonObject &run, const QJsonObject &step, const QJsonObject &raw,
               const QJsonObject &) -> std::optional<bool> {
        if (secondsOf(raw) <= 0)
            return std::nullopt;
        const bool sqlite = run.value(u"backend"_s).toString() == u"sqlite";
        return secondsOf(step) / secondsOf(raw) <= (sqlite ? sqliteLimit : pgLimit);
    };
}

// At most `limit` under `key` (seconds, or p95_ms) at the given size alone.
Judge atMost(double limit, int onlyAtCards = 0, const QString &key = u"seconds"_s)
{
    return [=](int cards, const QJsonObject &, const QJsonObject &step, const QJsonObject &,
               const QJsonObject &) -> std::optional<bool> {
        if (onlyAtCards != 0 && cards != onlyAtCards)
            return std::nullopt;
        return step.value(key).toDouble() <= limit;
    };
}

// PostgreSQL within `times` SQLite's time; SQLite itself is not judged.
Judge postgresWithin(double times)
{
    return [=](int, const QJsonObject &run, const QJsonObject &step, const QJsonObject &,
               const QJsonObject &sqliteStep) -> std::optional<bool> {
        if (run.value(u"backend"_s).toString() == u"sqlite" || !usable(sqliteStep))
            return std::nullopt;
        return secondsOf(step) <= times * secondsOf(sqliteStep);
    };
}

// The whole command within `times` the in-process step `inProcess` of the same run.
Judge withinInProcess(const QString &inProcess, double times, int onlyAtCards)
{
    return [=](int cards, const QJsonObject &run, const QJsonObject &step, const QJsonObject &,
               const QJsonObject &) -> std::optional<bool> {
        const QJsonObject inside = run.value(u"steps"_s).toObject().value(inProcess).toObject();
        if (cards != onlyAtCards || !usable(inside))
            return std::nullopt;
        return secondsOf(step) <= times * secondsOf(inside);
    };
}

Judge peakWithin(double mb)
{
    return [=](int, const QJsonObject &, const QJsonObject &step, const QJsonObject &,
               const QJsonObject &) -> std::optional<bool> {
        if (!step.contains(u"peak_mb"_s))
            return std::nullopt;
        return step.value(u"peak_mb"_s).toDouble() <= mb;
    };
}

struct StepRow {
    QString label;
    QString name;
    QString target;
    Kind kind = Kind::Timed;
    // Held to ≤ 150 MB and to the same peak at every size.
    bool flatMemory = false;
    QList<Judge> judges = {};
};

class Table {
public:
    explicit Table(QList<Runs> sizes)
        : m_sizes(std::move(sizes))
    {}

    void add(const StepRow &row)
    {
        for (qsizetype index = 0; index < m_sizes.size(); ++index) {
            const Runs &runs = m_sizes.at(index);
            const QJsonObject lite = step(runs.sqlite, row.name);
            const QJsonObject pg = step(runs.postgresql, row.name);
            if (lite.isEmpty() && pg.isEmpty())
                continue;
            const QString growthText =
                index > 0 ? growth(m_sizes.at(index - 1), runs, row) : QString();
            if (row.kind == Kind::Paging)
                paging(runs, row, lite, pg, growthText);
            else
                timed(runs, row, lite, pg, growthText);
        }
    }

    void memory()
    {
        for (const Runs &runs : std::as_const(m_sizes)) {
            const QJsonObject lite = step(runs.sqlite, u"memory"_s);
            const QJsonObject pg = step(runs.postgresql, u"memory"_s);
            if (lite.isEmpty() && pg.isEmpty())
                continue;
            const auto peak = [](const QJsonObject &m) -> QString {
                return m.isEmpty() ? QString()
                                   : QString::number(m.value(u"peak_mb"_s).toDouble(), 'f', 0) +
                                         u" MB (empty program "_s +
                                         QString::number(m.value(u"empty_program_mb"_s).toDouble(),
                                                         'f', 0) +
                                         u" MB)"_s;
            };
            const auto perRow = [](const QJsonObject &m) -> QString {
                return m.isEmpty()
                           ? QString()
                           : QString::number(m.value(u"bytes_per_row"_s).toDouble(), 'f', 0) +
                                 u" bytes"_s;
            };
            const QString cards = count(runs.cards);
            m_rows.append({u"peak resident memory of the benchmark"_s,
                           cards,
                           peak(lite),
                           {},
                           {},
                           peak(pg),
                           {},
                           {},
                           {},
                           {},
                           {}});
            const QJsonObject shown = lite.isEmpty() ? pg : lite;
            m_rows.append({u"resident memory per loaded expense row (%1 rows)"_s.arg(
                               count(shown.value(u"rows_loaded"_s).toInteger())),
                           cards,
                           perRow(lite),
                           {},
                           {},
                           perRow(pg),
                           {},
                           {},
                           {},
                           {},
                           u"≤ 1 KB"_s + perRowVerdicts(lite, pg)});
        }
    }

    // ✓ or ✗ for each database's resident bytes per loaded row against 1 KB.
    static QString perRowVerdicts(const QJsonObject &lite, const QJsonObject &pg)
    {
        QStringList verdicts;
        const auto one = [&verdicts](const QJsonObject &memory, const QString &database) {
            if (!memory.contains(u"bytes_per_row"_s))
                return;
            verdicts.append(database + (memory.value(u"bytes_per_row"_s).toDouble() <= 1024
                                            ? u" ✓"_s
                                            : u" ✗"_s));
        };
        one(lite, u"SQLite"_s);
        one(pg, u"PostgreSQL"_s);
        return verdicts.isEmpty() ? QString() : u": "_s + verdicts.join(u", "_s);
    }

    QString text() const
    {
        QString table = u"| step | cards | SQLite | raw SQLite | SQLite ÷ raw | PostgreSQL | raw "
                        "PostgreSQL | PostgreSQL ÷ raw | PostgreSQL ÷ SQLite | growth | target |\n"
                        "|---|---:|---:|---:|---:|---:|---:|---:|---:|---|---|\n"_s;
        for (const QStringList &cells : m_rows)
            table += u"| "_s + cells.join(u" | "_s) + u" |\n"_s;
        return table;
    }

private:
    void timed(const Runs &runs, const StepRow &row, const QJsonObject &lite, const QJsonObject &pg,
               const QString &growthText)
    {
        const QJsonObject rawLite = lite.value(u"baseline"_s).toObject();
        const QJsonObject rawPg = rawPostgres(pg);
        QString pgRatio;
        if (usable(lite) && usable(pg) && lite.value(u"seconds"_s).toDouble() > 0) {
            pgRatio =
                ratio(pg.value(u"seconds"_s).toDouble() / lite.value(u"seconds"_s).toDouble());
        }
        m_rows.append({row.label, count(runs.cards), measured(lite),
                       rawLite.isEmpty() ? QString() : seconds(rawLite[u"seconds"_s].toDouble()),
                       toRaw(lite, rawLite, true), measured(pg),
                       rawPg.isEmpty() ? QString() : seconds(rawPg[u"seconds"_s].toDouble()),
                       toRaw(pg, rawPg, false), pgRatio, growthText,
                       targetWithVerdicts(runs, row)});
    }

    void paging(const Runs &runs, const StepRow &row, const QJsonObject &lite,
                const QJsonObject &pg, const QString &growthText)
    {
        const auto text = [](const QJsonObject &times) -> QString {
            if (times.isEmpty())
                return QString();
            QString text = milliseconds(times.value(u"p50_ms"_s).toDouble()) + u" / "_s +
                           milliseconds(times.value(u"p95_ms"_s).toDouble()) + u" / "_s +
                           milliseconds(times.value(u"max_ms"_s).toDouble()) + u" ms"_s;
            if (times.contains(u"cpu_p95_ms"_s)) {
                text += u" (CPU p95 "_s + milliseconds(times.value(u"cpu_p95_ms"_s).toDouble()) +
                        u" ms)"_s;
            }
            return text;
        };
        const QJsonObject shown = lite.isEmpty() ? pg : lite;
        const QString what = u" (%1 cards, %2 rows each on average)"_s.arg(
            count(shown.value(u"cards"_s).toInteger()),
            QString::number(shown.value(u"rows_per_card"_s).toDouble(), 'f', 1));
        const double liteP95 = lite.value(u"p95_ms"_s).toDouble();
        QString pgRatio;
        if (!pg.isEmpty() && liteP95 > 0)
            pgRatio = ratio(pg.value(u"p95_ms"_s).toDouble() / liteP95) + u" (p95)"_s;
        m_rows.append({row.label + what,
                       count(runs.cards),
                       text(lite),
                       {},
                       {},
                       text(pg),
                       {},
                       {},
                       pgRatio,
                       growthText,
                       targetWithVerdicts(runs, row)});
    }

    // The target, then ✓ or ✗ for each database it judged at this size.
    static QString targetWithVerdicts(const Runs &runs, const StepRow &row)
    {
        QStringList verdicts;
        const QJsonObject liteStep = step(runs.sqlite, row.name);
        const auto one = [&](const QJsonObject &run, const QString &database, bool sqlite) {
            const QJsonObject measured = step(run, row.name);
            if (measured.isEmpty())
                return;
            std::optional<bool> met;
            if (measured.value(u"failed"_s).toBool()) {
                met = false;
            } else {
                const QJsonObject raw =
                    sqlite ? measured.value(u"baseline"_s).toObject() : rawPostgres(measured);
                for (const Judge &judge : row.judges) {
                    if (const std::optional<bool> one =
                            judge(runs.cards, run, measured, raw, liteStep))
                        met = met.value_or(true) && *one;
                }
            }
            if (met)
                verdicts.append(database + (*met ? u" ✓"_s : u" ✗"_s));
        };
        one(runs.sqlite, u"SQLite"_s, true);
        one(runs.postgresql, u"PostgreSQL"_s, false);
        if (verdicts.isEmpty())
            return row.target;
        return row.target + u": "_s + verdicts.join(u", "_s);
    }

    // How the step grew from the size before: time (p95 for paging) and peak memory, on each
    // database, marked where it breaks its target.
    static QString growth(const Runs &smaller, const Runs &larger, const StepRow &row)
    {
        const QString key = row.kind == Kind::Paging ? u"p95_ms"_s : u"seconds"_s;
        QStringList parts;
        const auto one = [&](const QJsonObject &before, const QJsonObject &after,
                             const QString &database) {
            if (!usable(before) || !usable(after))
                return;
            const double time =
                timeGrowth(before.value(key).toDouble(), after.value(key).toDouble());
            const double limit = growthLimit(smaller.cards, larger.cards);
            QString text = database + u" "_s + ratio(time) + u" time"_s;
            if (time > limit)
                text += u" ✗"_s;
            if (before.contains(u"cpu_seconds"_s) && after.contains(u"cpu_seconds"_s)) {
                const double cpu = timeGrowth(before.value(u"cpu_seconds"_s).toDouble(),
                                              after.value(u"cpu_seconds"_s).toDouble());
                text += u", "_s + ratio(cpu) + u" CPU"_s;
                if (cpu > limit)
                    text += u" ✗"_s;
            }
            if (before.contains(u"peak_mb"_s)) {
                const double beforeMb = before.value(u"peak_mb"_s).toDouble();
                const double afterMb = after.value(u"peak_mb"_s).toDouble();
                text += u", "_s + ratio(timeGrowth(beforeMb, afterMb)) + u" memory"_s;
                if (row.flatMemory && !memoryFlat(beforeMb, afterMb))
                    text += u" ✗"_s;
            }
            parts.append(text);
        };
        one(step(smaller.sqlite, row.name), step(larger.sqlite, row.name), u"SQLite"_s);
        one(step(smaller.postgresql, row.name), step(larger.postgresql, row.name), u"PostgreSQL"_s);
        return parts.join(u"; "_s);
    }

    QList<Runs> m_sizes;
    QList<QStringList> m_rows;
};

} // namespace

QJsonObject machine()
{
    const QString memory = procValue(u"/proc/meminfo"_s, u"MemTotal"_s);
    return {{u"cpus"_s, QThread::idealThreadCount()},
            {u"cpu_model"_s, procValue(u"/proc/cpuinfo"_s, u"model name"_s)},
            {u"memory_gb"_s,
             QString::number(memory.section(u' ', 0, 0).toDouble() / (1024.0 * 1024.0), 'f', 1)
                 .toDouble()},
            {u"system"_s, QSysInfo::prettyProductName()},
            {u"raw_sqlite_version"_s, QString::fromLatin1(sqlite3_libversion())}};
}

double timeGrowth(double smaller, double larger)
{
    return smaller > 0 ? larger / smaller : 0.0;
}

double growthLimit(int smallerCards, int largerCards)
{
    // 11× the time for 10× the cards: a tenth more than linear.
    return smallerCards > 0 ? 1.1 * static_cast<double>(largerCards) / smallerCards : 0.0;
}

bool memoryFlat(double smallerMb, double largerMb)
{
    return largerMb <= FlatMemoryMb && largerMb >= 0.8 * smallerMb && largerMb <= 1.2 * smallerMb;
}

QStringList failedRuns(const QJsonObject &document)
{
    QStringList failures;
    const QList<Runs> sizes = sizesOf(document);
    for (const Runs &size : sizes) {
        for (const QJsonObject &run : {size.sqlite, size.postgresql}) {
            const QJsonObject steps = run.value(u"steps"_s).toObject();
            for (auto it = steps.begin(); it != steps.end(); ++it) {
                const QJsonObject step = it.value().toObject();
                if (!step.value(u"failed"_s).toBool() || step.value(u"memory_limit"_s).toBool())
                    continue;
                failures.append(u"%1 cards, %2, %3: exit %4: %5"_s.arg(count(size.cards))
                                    .arg(run.value(u"backend"_s).toString(), it.key())
                                    .arg(step.value(u"exit_code"_s).toInt())
                                    .arg(step.value(u"error"_s).toString()));
            }
            // A reader that saw what it must not, under the load step's writer.
            const QStringList breaks = Load::breaksOf(steps.value(u"load"_s).toObject());
            for (const QString &broken : breaks) {
                failures.append(u"%1 cards, %2, load: %3"_s.arg(count(size.cards))
                                    .arg(run.value(u"backend"_s).toString(), broken));
            }
        }
    }
    return failures;
}

QJsonObject document(const QList<Size> &sizes)
{
    QJsonArray list;
    int largest = 0;
    for (const Size &size : sizes) {
        QJsonArray runs;
        for (const QJsonObject &run : size.runs)
            runs.append(run);
        list.append(QJsonObject{{u"cards"_s, size.cards}, {u"runs"_s, runs}});
        largest = std::max(largest, size.cards);
    }
    return {{u"cards"_s, largest},
            {u"measured_at"_s, QDateTime::currentDateTimeUtc().toString(Qt::ISODate)},
            {u"machine"_s, machine()},
            {u"sizes"_s, list}};
}

namespace {

// A run of a database that a size already has lends it the steps it ran (a step run in both is
// taken from the later run), so that one step run apart, such as the load, joins the table.
void addRun(QList<QJsonObject> &runs, const QJsonObject &run)
{
    const QString backend = run.value(u"backend"_s).toString();
    for (QJsonObject &earlier : runs) {
        if (earlier.value(u"backend"_s).toString() != backend)
            continue;
        QJsonObject steps = earlier.value(u"steps"_s).toObject();
        const QJsonObject added = run.value(u"steps"_s).toObject();
        for (auto it = added.begin(); it != added.end(); ++it)
            steps[it.key()] = it.value();
        earlier[u"steps"_s] = steps;
        return;
    }
    runs.append(run);
}

} // namespace

QJsonObject merged(const QList<QJsonObject> &documents)
{
    if (documents.size() == 1)
        return documents.first();
    QMap<int, Size> sizes;
    for (const QJsonObject &document : documents) {
        for (const Runs &runs : sizesOf(document)) {
            Size &size = sizes[runs.cards];
            size.cards = runs.cards;
            for (const QJsonObject &run : {runs.sqlite, runs.postgresql}) {
                if (!run.isEmpty())
                    addRun(size.runs, run);
            }
        }
    }
    QJsonObject result = document(sizes.values());
    if (!documents.isEmpty()) {
        result[u"machine"_s] = documents.first().value(u"machine"_s);
        result[u"measured_at"_s] = documents.first().value(u"measured_at"_s);
    }
    return result;
}

QString markdown(const QJsonObject &document)
{
    const QList<Runs> sizes = sizesOf(document);
    Table table(sizes);
    const QString writeTarget = u"≤ 1.3× raw; PostgreSQL ≤ 1.5× raw"_s;
    const Judge write = toRawWithin(1.3, 1.5);
    const QString flat = u"≤ 150 MB, ±20 % across sizes"_s;
    const Judge flatPeak = peakWithin(FlatMemoryMb);
    constexpr int Million = 1000000;
    // The copy's search: 20,000 manual cards at 100,000, 200,000 at a million.
    const Judge copyAt20000 = atMost(0.5, 100000);
    const Judge copyAt200000 = atMost(3, Million);
    const QList<StepRow> rows{
        {u"create the account set"_s, u"create"_s, writeTarget, Kind::Timed, false, {write}},
        {u"check (`CheckDataForUpDate`, median of 3)"_s,
         u"check"_s,
         u"≤ 1 s at 1,000,000"_s,
         Kind::Timed,
         false,
         {atMost(1, Million)}},
        {u"`allocfix check`"_s,
         u"program_check"_s,
         u"≤ 2 s and ≤ 1.3× the check in process at 1,000,000"_s,
         Kind::Timed,
         false,
         {atMost(2, Million), withinInProcess(u"check"_s, 1.3, Million)}},
        {u"automatic adjustment (`ReturnExpensInf`)"_s,
         u"adjust"_s,
         writeTarget,
         Kind::Timed,
         false,
         {write}},
        {u"`allocfix adjust`"_s,
         u"program_adjust"_s,
         writeTarget + u"; "_s + flat,
         Kind::Timed,
         true,
         {write, flatPeak}},
        {u"`allocfix export -o ws.csv`"_s, u"export_csv"_s, flat, Kind::Timed, true, {flatPeak}},
        {u"`allocfix export -o ws.xlsx`"_s, u"export_xlsx"_s, flat, Kind::Timed, true, {flatPeak}},
        {u"fill the worksheet (benchmark, not the program)"_s, u"fill_worksheet"_s, {}},
        {u"`allocfix import --dry-run`"_s,
         u"import_dry_run"_s,
         flat,
         Kind::Timed,
         true,
         {flatPeak}},
        {u"`allocfix import ws.xlsx --dry-run`"_s,
         u"import_xlsx_dry_run"_s,
         flat,
         Kind::Timed,
         true,
         {flatPeak}},
        {u"`allocfix import`"_s,
         u"import"_s,
         u"≤ 2× raw; PostgreSQL ≤ 1.5× raw; "_s + flat,
         Kind::Timed,
         true,
         {toRawWithin(2, 1.5), flatPeak}},
        {u"`allocfix import ws.xlsx` (SQLite)"_s,
         u"import_xlsx"_s,
         flat,
         Kind::Timed,
         true,
         {flatPeak}},
        {u"open the manual page (check, adjustment of what is left, first card)"_s,
         u"open_manual_page"_s,
         u"≤ 2 s at 1,000,000 (200,000 manual cards)"_s,
         Kind::Timed,
         false,
         {atMost(2, Million)}},
        {u"next card p50 / p95 / max"_s,
         u"next_card"_s,
         u"p95 ≤ 10 ms"_s,
         Kind::Paging,
         false,
         {atMost(10, 0, u"p95_ms"_s)}},
        {u"next card p50 / p95 / max, 20 rows per card"_s,
         u"next_card_20_rows"_s,
         u"p95 ≤ 10 ms"_s,
         Kind::Paging,
         false,
         {atMost(10, 0, u"p95_ms"_s)}},
        {u"the copy's search for cards alike (the copy command to its dialog)"_s,
         u"copy_search"_s,
         u"≤ 0.5 s at 20,000 manual cards, ≤ 3 s at 200,000"_s,
         Kind::Timed,
         false,
         {copyAt20000, copyAt200000}},
        {u"load the rows of every manual card"_s,
         u"load_rows"_s,
         u"PostgreSQL ≤ 2× SQLite (with validation)"_s,
         Kind::Timed,
         false,
         {postgresWithin(2)}},
        {u"`ValidateAllocations` of every manual card"_s,
         u"validate"_s,
         u"PostgreSQL ≤ 2× SQLite"_s,
         Kind::Timed,
         false,
         {postgresWithin(2)}},
        {u"`SaveAllocations` of every manual card"_s,
         u"save"_s,
         writeTarget,
         Kind::Timed,
         false,
         {write}},
        {u"the finish: load, validate and save every manual card"_s,
         u"finish"_s,
         u"≤ 20 s at 1,000,000 (200,000 manual cards)"_s,
         Kind::Timed,
         false,
         {atMost(20, Million)}},
    };
    for (const StepRow &row : rows)
        table.add(row);
    table.memory();

    QString text;
    for (const Runs &size : sizes) {
        const QJsonObject anyRun = size.sqlite.isEmpty() ? size.postgresql : size.sqlite;
        const QJsonObject set = anyRun.value(u"set"_s).toObject();
        const QJsonObject check = step(anyRun, u"check"_s);
        text += u"Account set of %1 cards: %2 departments, %3 expense accounts, %4 expense rows "
                "and %5 item rows after creation; %6 cards to adjust, %7 of them by hand.\n"_s.arg(
                    count(size.cards), count(set.value(u"departments"_s).toInteger()),
                    count(set.value(u"expense_accounts"_s).toInteger()),
                    count(set.value(u"expense_rows"_s).toInteger()),
                    count(set.value(u"expense_row_items"_s).toInteger()),
                    count(check.value(u"cards_to_adjust"_s).toInteger()),
                    count(check.value(u"manual_cards"_s).toInteger()));
    }
    text +=
        u"\nTimes on the clock; the program's runs with their CPU time and peak resident "
        "memory. Growth is from the size before, on the clock and in CPU time; ✗ marks a step past "
        "its target there (more than 1.1× the growth of the cards, memory not flat). The "
        "target column judges each database at each size: ✓ met, ✗ missed.\n\n"_s;
    text += table.text();
    for (const Runs &size : sizes) {
        text += Load::markdown(size.cards, step(size.sqlite, u"load"_s),
                               step(size.postgresql, u"load"_s));
    }
    const QJsonObject host = document.value(u"machine"_s).toObject();
    const Runs &last = sizes.last();
    text += u"\nMachine: %1 CPUs (%2), %3 GB RAM, %4; SQLite %5"_s.arg(
        QString::number(host.value(u"cpus"_s).toInt()), host.value(u"cpu_model"_s).toString(),
        QString::number(host.value(u"memory_gb"_s).toDouble()), host.value(u"system"_s).toString(),
        last.sqlite.value(u"database_version"_s).toString());
    // PostgreSQL may have run at the smaller sizes only (--pg-up-to).
    for (const Runs &size : sizes) {
        if (!size.postgresql.isEmpty()) {
            text += u", PostgreSQL "_s + size.postgresql.value(u"database_version"_s).toString();
            break;
        }
    }
    text += u". Measured %1.\n"_s.arg(document.value(u"measured_at"_s).toString());
    return text;
}

} // namespace Bench::Report
