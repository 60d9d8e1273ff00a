#include "scale/Report.h"

#include <QDateTime>
#include <QFile>
#include <QJsonArray>
#include <QLocale>
#include <QSysInfo>
#include <QThread>

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
    QJsonObject sqlite;
    QJsonObject postgresql;
};

Runs runsOf(const QJsonObject &document)
{
    Runs runs;
    const QJsonArray list = document.value(u"runs"_s).toArray();
    for (const QJsonValue &run : list) {
        const QJsonObject object = run.toObject();
        if (object.value(u"backend"_s).toString() == u"sqlite")
            runs.sqlite = object;
        else
            runs.postgresql = object;
    }
    return runs;
}

QJsonObject step(const QJsonObject &run, const QString &name)
{
    return run.value(u"steps"_s).toObject().value(name).toObject();
}

// A step's raw baseline, and the step's time over it.
struct Baseline {
    QString time;
    QString ratio;
};

// The CPU ratio only where the database runs in this process: a server's work is not in it.
Baseline baselineOf(const QJsonObject &step, bool inProcess)
{
    const QJsonObject baseline = step.value(u"baseline"_s).toObject();
    if (baseline.isEmpty())
        return {};
    const double raw = baseline.value(u"seconds"_s).toDouble();
    const double rawCpu = baseline.value(u"cpu_seconds"_s).toDouble();
    Baseline shown{seconds(raw),
                   raw > 0 ? ratio(step.value(u"seconds"_s).toDouble() / raw) : QString()};
    // CPU time shows the same ratio apart from what else the machine ran.
    if (inProcess && rawCpu > 0 && step.contains(u"cpu_seconds"_s))
        shown.ratio += u" (CPU "_s + ratio(step.value(u"cpu_seconds"_s).toDouble() / rawCpu) + u')';
    return shown;
}

class Table {
public:
    explicit Table(const Runs &runs)
        : m_runs(runs)
    {}

    // A step measured in seconds, with its raw baseline where it has one.
    void timed(const QString &label, const QString &name, const QString &target)
    {
        const QJsonObject lite = step(m_runs.sqlite, name);
        const QJsonObject pg = step(m_runs.postgresql, name);
        if (lite.isEmpty() && pg.isEmpty())
            return;
        const double liteSeconds = lite.value(u"seconds"_s).toDouble();
        const Baseline liteRaw = baselineOf(lite, true);
        const Baseline pgRaw = baselineOf(pg, false);
        QString pgText;
        QString pgRatio;
        if (!pg.isEmpty()) {
            const double pgSeconds = pg.value(u"seconds"_s).toDouble();
            pgText = seconds(pgSeconds);
            pgRatio =
                !lite.isEmpty() && liteSeconds > 0 ? ratio(pgSeconds / liteSeconds) : QString();
        }
        row({label, lite.isEmpty() ? QString() : seconds(liteSeconds), liteRaw.time, liteRaw.ratio,
             pgText, pgRaw.time, pgRaw.ratio, pgRatio, target});
    }

    void paging(const QString &label, const QString &name, const QString &target)
    {
        const QJsonObject lite = step(m_runs.sqlite, name);
        const QJsonObject pg = step(m_runs.postgresql, name);
        if (lite.isEmpty() && pg.isEmpty())
            return;
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
        row({label + what, text(lite), QString(), QString(), text(pg), QString(), QString(),
             pgRatio, target});
    }

    void memory()
    {
        const QJsonObject lite = step(m_runs.sqlite, u"memory"_s);
        const QJsonObject pg = step(m_runs.postgresql, u"memory"_s);
        if (lite.isEmpty() && pg.isEmpty())
            return;
        const auto peak = [](const QJsonObject &m) -> QString {
            return m.isEmpty()
                       ? QString()
                       : QString::number(m.value(u"peak_mb"_s).toDouble(), 'f', 0) +
                             u" MB (empty program "_s +
                             QString::number(m.value(u"empty_program_mb"_s).toDouble(), 'f', 0) +
                             u" MB)"_s;
        };
        const auto perRow = [](const QJsonObject &m) -> QString {
            return m.isEmpty() ? QString()
                               : QString::number(m.value(u"bytes_per_row"_s).toDouble(), 'f', 0) +
                                     u" bytes"_s;
        };
        row({u"peak resident memory"_s, peak(lite), {}, {}, peak(pg), {}, {}, {}, {}});
        const QJsonObject shown = lite.isEmpty() ? pg : lite;
        row({u"resident memory per loaded expense row (%1 rows)"_s.arg(
                 count(shown.value(u"rows_loaded"_s).toInteger())),
             perRow(lite),
             {},
             {},
             perRow(pg),
             {},
             {},
             {},
             u"≤ 1 KB"_s});
    }

    QString text() const
    {
        QString table = u"| step | SQLite | raw SQLite | SQLite ÷ raw | PostgreSQL | "
                        "raw PostgreSQL | PostgreSQL ÷ raw | PostgreSQL ÷ SQLite | target |\n"
                        "|---|---:|---:|---:|---:|---:|---:|---:|---|\n"_s;
        for (const QStringList &cells : m_rows)
            table += u"| "_s + cells.join(u" | "_s) + u" |\n"_s;
        return table;
    }

private:
    void row(const QStringList &cells) { m_rows.append(cells); }

    Runs m_runs;
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

QJsonObject document(int cards, const QList<QJsonObject> &runs)
{
    QJsonArray list;
    for (const QJsonObject &run : runs)
        list.append(run);
    return {{u"cards"_s, cards},
            {u"measured_at"_s, QDateTime::currentDateTimeUtc().toString(Qt::ISODate)},
            {u"machine"_s, machine()},
            {u"runs"_s, list}};
}

QString markdown(const QJsonObject &document)
{
    const Runs runs = runsOf(document);
    const QJsonObject anyRun = runs.sqlite.isEmpty() ? runs.postgresql : runs.sqlite;
    const QJsonObject set = anyRun.value(u"set"_s).toObject();
    const QJsonObject check = step(anyRun, u"check"_s);
    const QJsonObject validate = step(anyRun, u"validate"_s);
    const qint64 manual = check.value(u"manual_cards"_s).toInteger();
    const qint64 automatic = check.value(u"cards_to_adjust"_s).toInteger() - manual;

    Table table(runs);
    table.timed(u"create the account set"_s, u"create"_s, u"≤ 2 s at 100,000 cards"_s);
    table.timed(u"check (`CheckDataForUpDate`)"_s, u"check"_s,
                u"≤ 0.1 s at 100,000 cards, ≤ 1 s at 1,000,000"_s);
    table.timed(u"automatic adjustment (%1 cards)"_s.arg(count(automatic)), u"adjust"_s,
                u"≤ 1.5× raw"_s);
    table.timed(u"open the manual page (check, adjustment of what is left, first card)"_s,
                u"open_manual_page"_s, QString());
    table.paging(u"next card p50 / p95 / max"_s, u"next_card"_s, u"p95 ≤ 10 ms"_s);
    table.paging(u"next card p50 / p95 / max, 20 rows per card"_s, u"next_card_20_rows"_s,
                 u"p95 ≤ 10 ms"_s);
    table.timed(
        u"load the rows of %1 manual cards"_s.arg(count(validate.value(u"cards"_s).toInteger())),
        u"load_rows"_s, QString());
    table.timed(
        u"`ValidateAllocations` (%1 cards)"_s.arg(count(validate.value(u"cards"_s).toInteger())),
        u"validate"_s, u"≤ 1 s"_s);
    table.timed(
        u"`SaveAllocations` (%1 cards)"_s.arg(count(validate.value(u"cards"_s).toInteger())),
        u"save"_s, u"≤ 2× raw"_s);
    table.memory();

    const QJsonObject host = document.value(u"machine"_s).toObject();
    QString text = u"Account set: %1 cards, %2 departments, %3 expense accounts, %4 expense rows "
                   "and %5 item rows after creation.\n\n"_s.arg(
                       count(set.value(u"cards"_s).toInteger()),
                       count(set.value(u"departments"_s).toInteger()),
                       count(set.value(u"expense_accounts"_s).toInteger()),
                       count(set.value(u"expense_rows"_s).toInteger()),
                       count(set.value(u"expense_row_items"_s).toInteger()));
    text += table.text();
    text += u"\nMachine: %1 CPUs (%2), %3 GB RAM, %4; SQLite %5"_s.arg(
        QString::number(host.value(u"cpus"_s).toInt()), host.value(u"cpu_model"_s).toString(),
        QString::number(host.value(u"memory_gb"_s).toDouble()), host.value(u"system"_s).toString(),
        runs.sqlite.value(u"database_version"_s).toString());
    if (!runs.postgresql.isEmpty()) {
        text += u", PostgreSQL "_s + runs.postgresql.value(u"database_version"_s).toString();
    }
    text += u". Measured %1.\n"_s.arg(document.value(u"measured_at"_s).toString());
    return text;
}

} // namespace Bench::Report
