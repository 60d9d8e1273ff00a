#include "scale/LoadRun.h"

#include "scale/ChildProcess.h"
#include "scale/FilledWorksheet.h"
#include "scale/LoadMeasures.h"
#include "scale/LoadSnapshot.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QMutex>

#include <atomic>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

using namespace Qt::StringLiterals;

namespace Bench::Load {

namespace {

double milliseconds(const QElapsedTimer &clock)
{
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

QByteArray contentsOf(const QString &file)
{
    QFile in(file);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

// The readers' and the writer's runs, gathered from every thread.
class Tally {
public:
    // A run's time on the clock, and the CPU time of its own process.
    void time(const QString &kind, double ms, double cpuMs)
    {
        const QMutexLocker lock(&m_mutex);
        m_times[kind].push_back(ms);
        m_cpuTimes[kind].push_back(cpuMs);
    }
    void error(const QString &kind, const QString &message)
    {
        const QMutexLocker lock(&m_mutex);
        m_errors[kind] += 1;
        if (!m_firstError.contains(kind))
            m_firstError.insert(kind, message);
    }
    // What no reader may meet: kind names it, message tells the first of them.
    void breaks(const QString &kind, const QString &message)
    {
        error(u"break: "_s + kind, message);
    }

    QMap<QString, std::vector<double>> times() const
    {
        const QMutexLocker lock(&m_mutex);
        return m_times;
    }
    QMap<QString, std::vector<double>> cpuTimes() const
    {
        const QMutexLocker lock(&m_mutex);
        return m_cpuTimes;
    }
    QJsonObject errors() const
    {
        const QMutexLocker lock(&m_mutex);
        QJsonObject errors;
        for (auto it = m_errors.cbegin(); it != m_errors.cend(); ++it)
            errors[it.key()] =
                QJsonObject{{u"count"_s, it.value()}, {u"first"_s, m_firstError.value(it.key())}};
        return errors;
    }
    qint64 breakCount() const
    {
        const QMutexLocker lock(&m_mutex);
        qint64 count = 0;
        for (auto it = m_errors.cbegin(); it != m_errors.cend(); ++it) {
            if (it.key().startsWith(u"break: "_s))
                count += it.value();
        }
        return count;
    }

private:
    mutable QMutex m_mutex;
    QMap<QString, std::vector<double>> m_times;
    QMap<QString, std::vector<double>> m_cpuTimes;
    QMap<QString, qint64> m_errors;
    QMap<QString, QString> m_firstError;
};

const QStringList ReaderKinds{u"check"_s, u"export"_s, u"audit"_s, u"cards"_s};

class LoadRun {
public:
    explicit LoadRun(const LoadOptions &options)
        : m_options(options)
        , m_stopFile(work(u"load-stop"_s))
    {}

    QJsonObject run()
    {
        say(u"load: keeping the set as it is before the adjustment"_s);
        const Snapshot snapshot(m_options.location, m_options.workFolder);
        m_committed.append(checkCounts(u"before the adjustment"_s));
        say(u"load: the writer's first cycle alone, with the export that fills its worksheet"_s);
        requireRun(u"adjust"_s, program(u"adjust"_s, {}));
        m_committed.append(checkCounts(u"after the adjustment"_s));
        const QString exported = work(u"load-worksheet.csv"_s);
        requireRun(u"export"_s, program(u"export"_s, {u"-o"_s, exported, u"--force"_s}));
        fillWorksheet(exported, {m_worksheet});
        requireRun(u"import"_s, program(u"import"_s, {m_worksheet}));
        m_committed.append(checkCounts(u"after the import"_s));
        snapshot.restore();
        if (checkCounts(u"after the reset"_s) != m_committed.first())
            throw std::runtime_error("load: the reset did not put the set back as it was");

        say(u"load: the writer's cycle alone"_s);
        Tally alone;
        if (!writerCycle(snapshot, alone))
            throw std::runtime_error("load: the writer's cycle failed alone: " +
                                     errorText(alone).toStdString());
        say(u"load: each reader alone, %1 runs"_s.arg(m_options.samplesAlone));
        for (const QString &kind : ReaderKinds)
            readAlone(kind, alone);
        if (alone.breakCount() > 0)
            throw std::runtime_error("load: a reader failed alone: " +
                                     errorText(alone).toStdString());

        say(u"load: one writer and %1 readers for %2 s"_s.arg(m_options.readers)
                .arg(m_options.seconds));
        Tally loaded;
        underLoad(snapshot, loaded);
        return report(alone, loaded);
    }

private:
    void say(const QString &text) const
    {
        if (m_options.progress)
            m_options.progress(text);
    }
    QString work(const QString &name) const { return QDir(m_options.workFolder).filePath(name); }

    struct Invocation {
        QString program;
        QStringList arguments;
    };
    Invocation program(const QString &subcommand, const QStringList &options) const
    {
        return {m_options.program, QStringList{subcommand, m_options.location} + options +
                                       QStringList{u"-l"_s, u"CHS"_s}};
    }

    struct Ran {
        Outcome outcome = Outcome::Failed;
        double ms = 0;
        double cpuMs = 0;
        QString error;
        QByteArray output;
    };
    Ran launch(const Invocation &invocation, const QString &name) const
    {
        const QString out = work(name + u".out"_s);
        const QString err = work(name + u".err"_s);
        const ChildProcess::Run run = ChildProcess::run(invocation.program, invocation.arguments,
                                                        out, err, m_options.memoryLimitMb);
        Ran ran{outcomeOf(run.exitCode, run.error), run.seconds * 1000.0, run.cpuSeconds * 1000.0,
                run.error, contentsOf(out)};
        if (run.finished)
            ran.outcome = Outcome::Done;
        return ran;
    }
    void requireRun(const QString &name, const Invocation &invocation) const
    {
        const Ran ran = launch(invocation, u"load-"_s + name);
        if (ran.outcome != Outcome::Done)
            throw std::runtime_error("load: allocfix " + name.toStdString() +
                                     " failed: " + ran.error.toStdString());
    }
    CheckCounts checkCounts(const QString &when) const
    {
        const Ran ran = launch(program(u"check"_s, {u"--format"_s, u"json"_s}), u"load-check"_s);
        const CheckCounts counts = countsOf(ran.output);
        if (ran.outcome != Outcome::Done || counts.total < 0)
            throw std::runtime_error("load: the check " + when.toStdString() +
                                     " failed: " + ran.error.toStdString());
        say(u"  %1: %2 cards to adjust, %3 by hand"_s.arg(when)
                .arg(counts.total)
                .arg(counts.manual));
        return counts;
    }
    static QString errorText(const Tally &tally)
    {
        const QJsonObject errors = tally.errors();
        QStringList lines;
        for (auto it = errors.begin(); it != errors.end(); ++it)
            lines << it.key() + u": "_s + it.value().toObject().value(u"first"_s).toString();
        return lines.join(u"; "_s);
    }

    // adjust, import, reset; answers whether all three went through. The cycle's time is theirs
    // together.
    bool writerCycle(const Snapshot &snapshot, Tally &tally) const
    {
        double cycle = 0;
        double cpu = 0;
        bool done = true;
        for (const QString &step : {u"adjust"_s, u"import"_s}) {
            const Ran ran = launch(
                program(step, step == u"import"_s ? QStringList{m_worksheet} : QStringList{}),
                u"load-writer-"_s + step);
            cycle += ran.ms;
            cpu += ran.cpuMs;
            if (ran.outcome == Outcome::Busy) {
                tally.error(u"writer busy"_s, ran.error);
                done = false;
            } else if (ran.outcome == Outcome::Failed) {
                tally.breaks(u"writer failed"_s, step + u": "_s + ran.error);
                done = false;
            }
            if (!done)
                break;
        }
        QElapsedTimer clock;
        clock.start();
        snapshot.restore();
        cycle += milliseconds(clock);
        // The reset's work is the server's or SQLite's in this process; its clock time stands for
        // its CPU time.
        if (done)
            tally.time(u"writer"_s, cycle, cpu + milliseconds(clock));
        return done;
    }

    // One run of a reader; its time when it went through, its error or break when not.
    void read(const QString &kind, const QString &name, Tally &tally) const
    {
        Invocation invocation;
        if (kind == u"check"_s)
            invocation = program(u"check"_s, {u"--format"_s, u"json"_s});
        else if (kind == u"export"_s)
            invocation = program(u"export"_s, {u"-o"_s, work(name + u".csv"_s), u"--force"_s});
        else
            invocation = program(u"audit"_s, {u"--verify"_s});
        const Ran ran = launch(invocation, name);
        if (ran.outcome == Outcome::Busy) {
            tally.error(kind + u" busy"_s, ran.error);
            return;
        }
        if (ran.outcome == Outcome::Failed) {
            tally.breaks(kind == u"audit"_s ? u"audit not intact"_s : kind + u" failed"_s,
                         ran.error);
            return;
        }
        if (kind == u"check"_s) {
            const CheckCounts counts = countsOf(ran.output);
            if (!countsAddUp(m_committed, counts)) {
                tally.breaks(u"check counts do not add up"_s,
                             u"%1 to adjust, %2 by hand"_s.arg(counts.total).arg(counts.manual));
                return;
            }
        }
        tally.time(kind, ran.ms, ran.cpuMs);
    }

    // The card reader's lines: a time per visit, or what went wrong.
    void readCards(const QString &name, qint64 visits, Tally &tally) const
    {
        const Ran ran = launch(
            {m_options.cardReader, {m_options.location, m_stopFile, QString::number(visits)}},
            name);
        if (ran.outcome != Outcome::Done)
            tally.breaks(u"cards failed"_s, ran.error);
        const QList<QByteArray> lines = ran.output.split('\n');
        for (const QByteArray &line : lines) {
            if (line.isEmpty())
                continue;
            const QString text = QString::fromUtf8(line);
            const QString detail = text.section(u'\t', 1);
            if (text.startsWith(u"busy\t"_s))
                tally.error(u"cards busy"_s, detail);
            else if (text.startsWith(u"mixed\t"_s))
                tally.breaks(u"card half saved"_s, u"card "_s + detail);
            else if (text.startsWith(u"error\t"_s))
                tally.breaks(u"cards failed"_s, detail);
            else
                tally.time(u"cards"_s, text.section(u' ', 0, 0).toDouble(),
                           text.section(u' ', 1, 1).toDouble());
        }
    }

    void readAlone(const QString &kind, Tally &tally) const
    {
        if (kind == u"cards"_s) {
            readCards(u"load-alone-cards"_s, 100 * m_options.samplesAlone, tally);
            return;
        }
        for (int run = 0; run < m_options.samplesAlone; ++run)
            read(kind, u"load-alone-"_s + kind, tally);
    }

    void underLoad(const Snapshot &snapshot, Tally &tally) const
    {
        QFile::remove(m_stopFile);
        std::atomic<bool> stop{false};
        std::vector<std::string> failures(static_cast<size_t>(m_options.readers) + 1);
        std::vector<std::thread> threads;
        for (int reader = 0; reader < m_options.readers; ++reader) {
            const QString kind = ReaderKinds.at(reader % ReaderKinds.size());
            threads.emplace_back([this, kind, reader, &stop, &tally, &failures] {
                const QString name = u"load-reader-%1"_s.arg(reader);
                try {
                    if (kind == u"cards"_s) {
                        readCards(name, 0, tally);
                        return;
                    }
                    while (!stop.load())
                        read(kind, name, tally);
                } catch (const std::exception &failure) {
                    failures[static_cast<size_t>(reader)] = failure.what();
                }
            });
        }
        // The writer keeps on until the time is up and it has finished at least one cycle; the
        // readers until the writer has stopped, so that every cycle it times ran under load.
        QElapsedTimer clock;
        clock.start();
        int cycles = 0;
        try {
            while (cycles == 0 || clock.elapsed() < qint64{m_options.seconds} * 1000) {
                writerCycle(snapshot, tally);
                ++cycles;
                say(u"  writer: %1 cycles, %2 s"_s.arg(cycles).arg(clock.elapsed() / 1000));
            }
        } catch (const std::exception &failure) {
            failures.back() = failure.what();
        }
        stop.store(true);
        QFile stopping(m_stopFile);
        if (!stopping.open(QIODevice::WriteOnly))
            failures.back() = "cannot write " + m_stopFile.toStdString();
        stopping.close();
        for (std::thread &thread : threads)
            thread.join();
        QFile::remove(m_stopFile);
        for (const std::string &failure : failures) {
            if (!failure.empty())
                throw std::runtime_error("load: " + failure);
        }
    }

    static QJsonObject percentilesJson(const std::vector<double> &ms,
                                       const std::vector<double> &cpuMs)
    {
        const Percentiles p = percentilesOf(ms);
        return {{u"runs"_s, static_cast<qint64>(ms.size())},
                {u"p50_ms"_s, p.p50},
                {u"p95_ms"_s, p.p95},
                {u"p99_ms"_s, p.p99},
                {u"cpu_p50_ms"_s, percentilesOf(cpuMs).p50}};
    }

    QJsonObject report(const Tally &alone, const Tally &loaded) const
    {
        const auto aloneTimes = alone.times();
        const auto loadedTimes = loaded.times();
        const auto aloneCpu = alone.cpuTimes();
        const auto loadedCpu = loaded.cpuTimes();
        QJsonObject kinds;
        bool met = true;
        for (const QString &kind : ReaderKinds + QStringList{u"writer"_s}) {
            const QJsonObject before =
                percentilesJson(aloneTimes.value(kind), aloneCpu.value(kind));
            const QJsonObject under =
                percentilesJson(loadedTimes.value(kind), loadedCpu.value(kind));
            // The writer's cycle is judged by its median, the readers by their p99.
            const QString figure = kind == u"writer"_s ? u"p50_ms"_s : u"p99_ms"_s;
            const double limit = kind == u"writer"_s ? 1.5 : 3.0;
            const bool within = under.value(u"runs"_s).toInt() > 0 &&
                                withinTarget(under.value(figure).toDouble(),
                                             before.value(figure).toDouble(), limit);
            met = met && within;
            kinds[kind] = QJsonObject{{u"alone"_s, before},
                                      {u"under_load"_s, under},
                                      {u"limit"_s, limit},
                                      {u"judged_by"_s, figure},
                                      {u"met"_s, within}};
        }
        const qint64 breaks = loaded.breakCount();
        say(u"load: %1 invariant breaks"_s.arg(breaks));
        return {{u"readers"_s, m_options.readers},
                {u"seconds"_s, m_options.seconds},
                {u"kinds"_s, kinds},
                {u"errors"_s, loaded.errors()},
                {u"invariant_breaks"_s, breaks},
                {u"targets_met"_s, met && breaks == 0},
                {u"committed_counts"_s, committedJson()}};
    }

    QJsonArray committedJson() const
    {
        QJsonArray states;
        for (const CheckCounts &counts : m_committed)
            states.append(QJsonArray{counts.total, counts.manual});
        return states;
    }

    LoadOptions m_options;
    QString m_stopFile;
    QString m_worksheet = work(u"load-filled.csv"_s);
    QList<CheckCounts> m_committed;
};

} // namespace

QJsonObject runLoad(const LoadOptions &options)
{
    return LoadRun(options).run();
}

} // namespace Bench::Load
