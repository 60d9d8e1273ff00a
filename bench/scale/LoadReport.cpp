#include "scale/LoadReport.h"

#include <QJsonArray>
#include <QLocale>

using namespace Qt::StringLiterals;

namespace Bench::Load {

namespace {

QString ms(double value)
{
    return value >= 1000 ? u"%1 s"_s.arg(value / 1000.0, 0, 'f', 2)
                         : u"%1 ms"_s.arg(value, 0, 'f', value >= 100 ? 0 : 1);
}

QString figures(const QJsonObject &times, bool medianOnly)
{
    if (times.value(u"runs"_s).toInt() == 0)
        return u"–"_s;
    const QString runs = u" (%1)"_s.arg(times.value(u"runs"_s).toInt());
    if (medianOnly)
        return ms(times.value(u"p50_ms"_s).toDouble()) + runs;
    return ms(times.value(u"p50_ms"_s).toDouble()) + u" / "_s +
           ms(times.value(u"p95_ms"_s).toDouble()) + u" / "_s +
           ms(times.value(u"p99_ms"_s).toDouble()) + runs;
}

// alone | under load | ratio and mark, for one database.
QString cells(const QJsonObject &load, const QString &kind)
{
    if (load.isEmpty())
        return u" – | – | – |"_s;
    const QJsonObject row = load.value(u"kinds"_s).toObject().value(kind).toObject();
    const bool writer = kind == u"writer"_s;
    const QJsonObject alone = row.value(u"alone"_s).toObject();
    const QJsonObject under = row.value(u"under_load"_s).toObject();
    const QString figure = row.value(u"judged_by"_s).toString();
    const double before = alone.value(figure).toDouble();
    const QString ratio =
        before > 0 ? u"%1×"_s.arg(under.value(figure).toDouble() / before, 0, 'f', 2) : u"–"_s;
    return u" %1 | %2 | %3 %4 |"_s.arg(figures(alone, writer), figures(under, writer), ratio,
                                       row.value(u"met"_s).toBool() ? u"✓"_s : u"✗"_s);
}

QString errorsCell(const QJsonObject &load)
{
    if (load.isEmpty())
        return u"–"_s;
    const QJsonObject errors = load.value(u"errors"_s).toObject();
    QStringList kinds;
    for (auto it = errors.begin(); it != errors.end(); ++it)
        kinds << u"%1: %2"_s.arg(it.key()).arg(it.value().toObject().value(u"count"_s).toInt());
    return kinds.isEmpty() ? u"none"_s : kinds.join(u"; "_s);
}

// Each kind's CPU time per run, p50 under load ÷ alone: what its own work grew by, apart from
// waiting for the machine.
QString cpuGrowth(const QJsonObject &load)
{
    if (load.isEmpty())
        return u"–"_s;
    QStringList kinds;
    const QJsonObject rows = load.value(u"kinds"_s).toObject();
    for (auto it = rows.begin(); it != rows.end(); ++it) {
        const QJsonObject row = it.value().toObject();
        const double alone = row.value(u"alone"_s).toObject().value(u"cpu_p50_ms"_s).toDouble();
        const double under =
            row.value(u"under_load"_s).toObject().value(u"cpu_p50_ms"_s).toDouble();
        if (alone > 0)
            kinds << u"%1 %2×"_s.arg(it.key()).arg(under / alone, 0, 'f', 2);
    }
    return kinds.join(u", "_s);
}

QString breaksCell(const QJsonObject &load)
{
    if (load.isEmpty())
        return u" – |"_s;
    const qint64 breaks = load.value(u"invariant_breaks"_s).toInteger();
    return u" %1 %2 |"_s.arg(breaks).arg(breaks == 0 ? u"✓"_s : u"✗"_s);
}

} // namespace

QString markdown(int cards, const QJsonObject &sqlite, const QJsonObject &postgresql)
{
    const QJsonObject any = sqlite.isEmpty() ? postgresql : sqlite;
    if (any.isEmpty())
        return {};
    QString text = u"\n**Load** at %1 cards: one writer (`allocfix adjust`, `import` of a filled "
                   "worksheet, the set put back) and %2 readers at once for %3 s, the readers "
                   "taking turns at the kinds below. p50 / p95 / p99 on the clock (runs); the "
                   "writer's cycle by its median.\n\n"_s.arg(QLocale::c().toString(cards))
                       .arg(any.value(u"readers"_s).toInt())
                       .arg(any.value(u"seconds"_s).toInt());
    text += u"| reader or writer | SQLite (WAL) alone | under load | × | PostgreSQL alone | "
            "under load | × | target |\n|---|---|---|---|---|---|---|---|\n"_s;
    const QList<std::pair<QString, QString>> rows{
        {u"`allocfix check`"_s, u"check"_s},
        {u"`allocfix export -o ws.csv`"_s, u"export"_s},
        {u"`allocfix audit --verify`"_s, u"audit"_s},
        {u"a card read as the wizard reads it"_s, u"cards"_s},
    };
    for (const auto &[label, kind] : rows) {
        text += u"| "_s + label + u" |"_s + cells(sqlite, kind) + cells(postgresql, kind) +
                u" p99 ≤ 3× alone |\n"_s;
    }
    text += u"| writer: adjust + import + reset |"_s + cells(sqlite, u"writer"_s) +
            cells(postgresql, u"writer"_s) + u" ≤ 1.5× alone |\n"_s;
    text += u"| invariant breaks | |"_s + breaksCell(sqlite) + u" | |"_s + breaksCell(postgresql) +
            u" | 0 |\n"_s;
    text += u"\nErrors by kind under load: SQLite: %1. PostgreSQL: %2.\n"_s.arg(
        errorsCell(sqlite), errorsCell(postgresql));
    text += u"\nCPU time of each run's own process, p50 under load ÷ alone: SQLite: %1. "
            "PostgreSQL: %2.\n"_s.arg(cpuGrowth(sqlite), cpuGrowth(postgresql));
    return text;
}

QStringList breaksOf(const QJsonObject &load)
{
    QStringList breaks;
    const QJsonObject errors = load.value(u"errors"_s).toObject();
    for (auto it = errors.begin(); it != errors.end(); ++it) {
        if (!it.key().startsWith(u"break: "_s))
            continue;
        const QJsonObject error = it.value().toObject();
        breaks << u"%1: %2 (first: %3)"_s.arg(it.key().mid(7))
                      .arg(error.value(u"count"_s).toInt())
                      .arg(error.value(u"first"_s).toString());
    }
    return breaks;
}

} // namespace Bench::Load
