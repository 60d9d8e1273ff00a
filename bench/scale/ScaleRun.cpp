#include "scale/ScaleRun.h"

#include "accountset/AccountSet.h"
#include "accountset/DemoData.h"
#include "desktop/SharedProperties.h"
#include "scale/ChildProcess.h"
#include "scale/ComponentCalls.h"
#include "scale/FilledWorksheet.h"
#include "scale/LoadRun.h"
#include "scale/PostgresBaseline.h"
#include "scale/ProcessMemory.h"
#include "scale/SqliteBaseline.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <optional>
#include <stdexcept>

using namespace Qt::StringLiterals;

namespace Bench {

namespace {

constexpr int PagedCards = 1000;
constexpr int Departments = 5000;
constexpr int ExpenseAccounts = 50;

struct Timing {
    double seconds = 0;
    // The process's own CPU time: what the step cost here, whatever else the machine ran.
    double cpuSeconds = 0;
};

double cpuClock(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

template<class Work>
Timing timed(Work &&work, clockid_t cpu = CLOCK_PROCESS_CPUTIME_ID)
{
    const double cpuStart = cpuClock(cpu);
    QElapsedTimer timer;
    timer.start();
    work();
    return {static_cast<double>(timer.nsecsElapsed()) / 1e9, cpuClock(cpu) - cpuStart};
}

QJsonObject timingJson(const Timing &timing)
{
    return {{u"seconds"_s, timing.seconds}, {u"cpu_seconds"_s, timing.cpuSeconds}};
}

double megabytes(qint64 bytes)
{
    return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

class Progress {
public:
    explicit Progress(QString backend)
        : m_backend(std::move(backend))
    {
        m_clock.start();
    }
    void say(const QString &text) const
    {
        std::fprintf(stderr, "[%s %7.1f s] %s\n", qPrintable(m_backend),
                     static_cast<double>(m_clock.elapsed()) / 1000.0, qUtf8Printable(text));
        std::fflush(stderr);
    }

private:
    QString m_backend;
    QElapsedTimer m_clock;
};

// Nearest-rank percentiles of per-card times, in milliseconds.
QJsonObject percentiles(std::vector<double> milliseconds, const QString &prefix)
{
    std::sort(milliseconds.begin(), milliseconds.end());
    const auto rank = [&milliseconds](double share) {
        if (milliseconds.empty())
            return 0.0;
        const auto index =
            static_cast<size_t>(std::ceil(share * static_cast<double>(milliseconds.size())) - 1);
        return milliseconds[std::min(index, milliseconds.size() - 1)];
    };
    return {{prefix + u"p50_ms"_s, rank(0.5)},
            {prefix + u"p95_ms"_s, rank(0.95)},
            {prefix + u"max_ms"_s, milliseconds.empty() ? 0.0 : milliseconds.back()}};
}

// Shows the next card count times; answers the time of each, on the clock and in CPU time of
// the user-interface thread.
QJsonObject pageThrough(AllocFix::frmUpdateData &wizard, int count, const Progress &progress)
{
    std::vector<double> milliseconds;
    std::vector<double> cpuMilliseconds;
    qint64 rowsShown = 0;
    for (int card = 0; card < count; ++card) {
        const Timing click =
            timed([&wizard] { Component::click(wizard, u"cmdNext"_s); }, CLOCK_THREAD_CPUTIME_ID);
        milliseconds.push_back(click.seconds * 1000.0);
        cpuMilliseconds.push_back(click.cpuSeconds * 1000.0);
        rowsShown += Component::shownExpenseRows(wizard);
        if ((card + 1) % 250 == 0)
            progress.say(u"  shown %1 of %2 cards"_s.arg(card + 1).arg(count));
    }
    QJsonObject times = percentiles(milliseconds, QString());
    const QJsonObject cpu = percentiles(cpuMilliseconds, u"cpu_"_s);
    for (auto it = cpu.begin(); it != cpu.end(); ++it)
        times.insert(it.key(), it.value());
    times[u"cards"_s] = count;
    times[u"rows_per_card"_s] =
        count > 0 ? static_cast<double>(rowsShown) / static_cast<double>(count) : 0.0;
    return times;
}

class ScaleRun {
public:
    explicit ScaleRun(const ScaleOptions &options)
        : m_options(options)
        , m_location(FixedAssets::AccountSetLocation::parse(options.location))
        , m_progress(m_location.kind == FixedAssets::AccountSetLocation::Kind::SQLite
                         ? u"sqlite"_s
                         : u"postgresql"_s)
        , m_baseline(!options.baselineFolder.isEmpty() &&
                     m_location.kind == FixedAssets::AccountSetLocation::Kind::SQLite)
        , m_pgBaseline(!options.baselineFolder.isEmpty() &&
                       m_location.kind == FixedAssets::AccountSetLocation::Kind::PostgreSQL)
    {}

    QJsonObject run()
    {
        Component::recordMessages();
        // What an earlier run freed goes back to the system, so that this run's memory is its own.
        ProcessMemory::releaseFreedMemory();
        ProcessMemory::resetPeak();
        for (const QString &step : ScaleSteps) {
            if (!m_options.steps.contains(step))
                continue;
            if (step == u"create")
                create();
            else if (step == u"check")
                check();
            else if (step == u"adjust")
                adjust();
            else if (step == u"page")
                manualStep();
            else if (step == u"page20")
                pageTwentyRows();
            else if (step == u"program")
                programSteps();
            else if (step == u"load")
                loadStep();
        }
        const QStringList messages = Component::recordedMessages();
        if (!messages.isEmpty()) {
            throw std::runtime_error("the wizard showed a message: " +
                                     messages.first().toStdString());
        }
        return {{u"backend"_s, m_location.kind == FixedAssets::AccountSetLocation::Kind::SQLite
                                   ? u"sqlite"_s
                                   : u"postgresql"_s},
                {u"database_version"_s, m_databaseVersion},
                {u"set"_s, m_set},
                {u"steps"_s, m_steps}};
    }

private:
    FixedAssets::DemoShape shape(int cards, int rows) const
    {
        return {cards, Departments, ExpenseAccounts, rows == 0 ? 2 : rows, rows == 0 ? 6 : rows};
    }

    void useAccountSet(const QString &location)
    {
        FixedAssets::publishPropsString(u"Language=CHS;AcctSet="_s + location + u';');
    }

    QString baselineFile(const QString &name) const
    {
        return QDir(m_options.baselineFolder).filePath(name);
    }

    SqliteBaseline::Settings connectionSettings() const
    {
        const FixedAssets::AccountSet set = FixedAssets::AccountSet::open(m_location);
        return {set.scalar(u"PRAGMA journal_mode"_s).toString(),
                set.scalar(u"PRAGMA synchronous"_s).toInt()};
    }

    // Writes what the step changed since the copy at before with the raw C API.
    QJsonObject baselineSince(const QString &before)
    {
        m_progress.say(u"  raw SQLite baseline: the same change with the C API"_s);
        const SqliteBaseline::Change change =
            SqliteBaseline::changeBetween(before, m_location.path);
        const SqliteBaseline::WriteTime time =
            SqliteBaseline::write(before, change, connectionSettings());
        const SqliteBaseline::Change left = SqliteBaseline::changeBetween(before, m_location.path);
        if (left.removedRows + left.changedRows + left.addedRows != 0)
            throw std::runtime_error("the raw baseline did not make the step's change");
        QFile::remove(before);
        return baselineJson(u"SQLite"_s, time.seconds, time.cpuSeconds, change.removedRows,
                            change.changedRows, change.addedRows);
    }

    // The state before a write step, for the raw PostgreSQL baseline; none without one.
    std::optional<PostgresBaseline::Replay> pgBefore() const
    {
        if (!m_pgBaseline)
            return std::nullopt;
        return PostgresBaseline::Replay::before(m_location);
    }

    // Writes what the step changed with libpq alone, into a copy of the state before.
    QJsonObject pgBaselineOf(PostgresBaseline::Replay &replay)
    {
        m_progress.say(u"  raw PostgreSQL baseline: the same change with libpq"_s);
        const PostgresBaseline::Result raw = replay.run();
        return baselineJson(u"PostgreSQL"_s, raw.seconds, raw.cpuSeconds, raw.removedRows,
                            raw.changedRows, raw.addedRows);
    }

    QJsonObject baselineJson(const QString &backend, double seconds, double cpuSeconds,
                             qint64 removed, qint64 changed, qint64 added) const
    {
        m_progress.say(
            u"  raw %1 baseline: %2 s (%3 rows removed, %4 changed, %5 added)"_s.arg(backend)
                .arg(seconds, 0, 'f', 3)
                .arg(removed)
                .arg(changed)
                .arg(added));
        return {{u"seconds"_s, seconds},
                {u"cpu_seconds"_s, cpuSeconds},
                {u"rows_removed"_s, removed},
                {u"rows_changed"_s, changed},
                {u"rows_added"_s, added}};
    }

    void create()
    {
        m_progress.say(u"1/7 creating the account set: %1 cards, %2 departments, %3 expense "
                       "accounts"_s.arg(m_options.cards)
                           .arg(Departments)
                           .arg(ExpenseAccounts));
        QString url;
        const Timing timing = timed([&] {
            url = FixedAssets::createDemoAccountSet(m_options.location, shape(m_options.cards, 0));
        });
        useAccountSet(url);
        const FixedAssets::AccountSet set = FixedAssets::AccountSet::open(m_location);
        m_databaseVersion =
            set.scalar(m_location.kind == FixedAssets::AccountSetLocation::Kind::SQLite
                           ? u"SELECT sqlite_version()"_s
                           : u"SHOW server_version"_s)
                .toString();
        const auto count = [&set](const QString &sql) {
            return static_cast<qint64>(set.scalar(sql).toLongLong());
        };
        m_set = {{u"cards"_s, m_options.cards},
                 {u"departments"_s, count(u"SELECT count(*) FROM items WHERE class_id = 2"_s)},
                 {u"expense_accounts"_s,
                  count(u"SELECT count(*) FROM accounts WHERE detail = 1 AND number LIKE '%.%'"_s)},
                 {u"card_departments"_s, count(u"SELECT count(*) FROM card_departments"_s)},
                 {u"expense_rows"_s, count(u"SELECT count(*) FROM expense_rows"_s)},
                 {u"expense_row_items"_s, count(u"SELECT count(*) FROM expense_row_items"_s)}};
        QJsonObject step = timingJson(timing);
        m_progress.say(u"  created in %1 s"_s.arg(timing.seconds, 0, 'f', 3));
        if (m_baseline) {
            const QString empty = baselineFile(u"empty.fa"_s);
            SqliteBaseline::createEmptyLike(m_location.path, empty);
            step[u"baseline"_s] = baselineSince(empty);
        }
        if (m_pgBaseline) {
            PostgresBaseline::Replay replay = PostgresBaseline::Replay::fromEmpty(m_location);
            step[u"baseline"_s] = pgBaselineOf(replay);
        }
        m_steps[u"create"_s] = step;
    }

    void check()
    {
        m_progress.say(u"2/7 the check (CheckDataForUpDate), three times"_s);
        QJsonArray runs;
        std::vector<Timing> timings;
        Component::CheckCounts counts;
        for (int run = 0; run < 3; ++run) {
            timings.push_back(timed([&counts] { counts = Component::checkCards(); }));
            runs.append(timings.back().seconds);
        }
        std::sort(timings.begin(), timings.end(),
                  [](const Timing &a, const Timing &b) { return a.seconds < b.seconds; });
        QJsonObject step = timingJson(timings[1]);
        step[u"runs"_s] = runs;
        step[u"cards_to_adjust"_s] = counts.total;
        step[u"manual_cards"_s] = counts.manual;
        m_steps[u"check"_s] = step;
        m_progress.say(u"  median %1 s; %2 cards to adjust, %3 of them by hand"_s
                           .arg(timings[1].seconds, 0, 'f', 3)
                           .arg(counts.total)
                           .arg(counts.manual));
    }

    void adjust()
    {
        m_progress.say(u"3/7 the automatic adjustment (ReturnExpensInf)"_s);
        const QString before = baselineFile(u"before-adjust.fa"_s);
        if (m_baseline)
            SqliteBaseline::copyDatabase(m_location.path, before);
        std::optional<PostgresBaseline::Replay> pgReplay = pgBefore();
        int manual = 0;
        const Timing timing = timed([&manual] { manual = Component::adjustCards(); });
        QJsonObject step = timingJson(timing);
        step[u"manual_cards"_s] = manual;
        m_progress.say(
            u"  %1 s; %2 cards left for manual work"_s.arg(timing.seconds, 0, 'f', 3).arg(manual));
        if (m_baseline)
            step[u"baseline"_s] = baselineSince(before);
        if (pgReplay)
            step[u"baseline"_s] = pgBaselineOf(*pgReplay);
        m_steps[u"adjust"_s] = step;
    }

    // Steps 4 to 7 run in the wizard, on its manual page.
    void manualStep()
    {
        Component::runWizard([this](AllocFix::frmUpdateData &wizard) {
            m_progress.say(u"4/7 opening the manual page (check, adjustment, first card)"_s);
            const Timing open = timed([&wizard] { Component::openManualPage(wizard); });
            ProcessMemory::releaseFreedMemory();
            m_beforeRows = ProcessMemory::residentBytes();
            const qsizetype cards = Component::manualCardCount(wizard);
            m_steps[u"open_manual_page"_s] = timingJson(open);
            const int pages = static_cast<int>(qMin<qsizetype>(PagedCards, cards) - 1);
            m_progress.say(
                u"  paging through the first %1 of %2 manual cards (cmdNext)"_s.arg(pages + 1).arg(
                    cards));
            m_steps[u"next_card"_s] = pageThrough(wizard, pages, m_progress);
            if (m_options.steps.contains(u"copy"_s))
                copySearch(wizard);
            if (m_options.steps.contains(u"validate"_s))
                validateAndSave(wizard);
        });
    }

    void copySearch(AllocFix::frmUpdateData &wizard)
    {
        m_progress.say(
            u"4c the copy command on the card shown, to its dialog (the copy's search)"_s);
        Component::CopyTargets targets;
        const Timing search = timed([&] { targets = Component::copyThroughTheWizard(wizard); },
                                    CLOCK_THREAD_CPUTIME_ID);
        QJsonObject step = timingJson(search);
        step[u"manual_cards"_s] = Component::manualCardCount(wizard);
        step[u"alike"_s] = targets.alike;
        step[u"unreadable"_s] = targets.unreadable;
        m_steps[u"copy_search"_s] = step;
        m_progress.say(
            u"  %1 s; %2 cards alike"_s.arg(search.seconds, 0, 'f', 3).arg(targets.alike));
    }

    void validateAndSave(AllocFix::frmUpdateData &wizard)
    {
        m_progress.say(u"5/7 loading the rows of every manual card, as a visit loads them"_s);
        Component::LoadedRows loaded;
        const Timing load = timed([&] {
            loaded = Component::loadEveryCard(wizard, [this](qsizetype done) {
                if (done % 5000 == 0)
                    m_progress.say(u"  loaded %1 cards"_s.arg(done));
            });
        });
        ProcessMemory::releaseFreedMemory();
        const qint64 after = ProcessMemory::residentBytes();
        QJsonObject loadStep = timingJson(load);
        loadStep[u"cards"_s] = loaded.cards;
        loadStep[u"rows"_s] = loaded.rows;
        loadStep[u"items"_s] = loaded.items;
        m_steps[u"load_rows"_s] = loadStep;
        // From the first card shown to every card's rows held: what the rows cost.
        m_memory = {{u"first_card_mb"_s, megabytes(m_beforeRows)},
                    {u"all_rows_loaded_mb"_s, megabytes(after)},
                    {u"rows_loaded"_s, loaded.rows},
                    {u"bytes_per_row"_s, loaded.rows > 0
                                             ? static_cast<double>(after - m_beforeRows) /
                                                   static_cast<double>(loaded.rows)
                                             : 0.0}};

        m_progress.say(u"  allocating every card as a user would (not timed)"_s);
        Component::allocateEveryCard(wizard);
        m_progress.say(u"  ValidateAllocations over %1 cards"_s.arg(loaded.cards));
        bool valid = false;
        const Timing validate = timed([&valid] { valid = Component::validate(); });
        if (!valid) {
            throw std::runtime_error("the validation failed: " +
                                     Component::validationFaults(3).join(u" / "_s).toStdString());
        }
        QJsonObject validateStep = timingJson(validate);
        validateStep[u"cards"_s] = loaded.cards;
        m_steps[u"validate"_s] = validateStep;
        m_progress.say(u"  %1 s"_s.arg(validate.seconds, 0, 'f', 3));

        if (!m_options.steps.contains(u"save"_s))
            return;
        m_progress.say(u"6/7 SaveAllocations of %1 cards"_s.arg(loaded.cards));
        const QString beforeSave = baselineFile(u"before-save.fa"_s);
        if (m_baseline)
            SqliteBaseline::copyDatabase(m_location.path, beforeSave);
        std::optional<PostgresBaseline::Replay> pgReplay = pgBefore();
        const Timing save = timed([] { Component::save(); });
        QJsonObject step = timingJson(save);
        step[u"cards"_s] = loaded.cards;
        m_progress.say(u"  %1 s"_s.arg(save.seconds, 0, 'f', 3));
        if (m_baseline)
            step[u"baseline"_s] = baselineSince(beforeSave);
        if (pgReplay)
            step[u"baseline"_s] = pgBaselineOf(*pgReplay);
        m_steps[u"save"_s] = step;

        const qint64 peak = ProcessMemory::peakResidentBytes();
        m_memory[u"peak_mb"_s] = megabytes(peak);
        m_memory[u"empty_program_mb"_s] = m_options.emptyProgramMb;
        m_steps[u"memory"_s] = m_memory;
        m_progress.say(u"7/7 memory: peak %1 MB, %2 bytes per loaded expense row"_s
                           .arg(megabytes(peak), 0, 'f', 1)
                           .arg(m_memory[u"bytes_per_row"_s].toDouble(), 0, 'f', 0));
    }

    // The next-card target's own case: 5,000 departments and 20 rows on every card.
    void pageTwentyRows()
    {
        const int cards = std::clamp(m_options.cards / 100, 50, 1000);
        m_progress.say(u"4b paging cards of 20 rows: a set of %1 cards with 20 departments and "
                       "20 rows each"_s.arg(cards));
        QString location = m_options.location;
        if (m_location.kind == FixedAssets::AccountSetLocation::Kind::SQLite)
            location = u"sqlite:"_s + m_location.path + u".20rows"_s;
        useAccountSet(FixedAssets::createDemoAccountSet(location, shape(cards, 20)));
        Component::runWizard([this](AllocFix::frmUpdateData &wizard) {
            Component::openManualPage(wizard);
            const int pages = static_cast<int>(
                qMin<qsizetype>(PagedCards, Component::manualCardCount(wizard)) - 1);
            m_steps[u"next_card_20_rows"_s] = pageThrough(wizard, pages, m_progress);
        });
    }

    QString workFile(const QString &name) const
    {
        return QDir(m_options.workFolder).filePath(name);
    }

    // One run of the allocfix program on the set; a run that failed is kept with its reason, and
    // answers false so that the steps that need its result are left out.
    bool runProgram(const QString &name, QStringList arguments, bool writes = false)
    {
        arguments.insert(1, m_options.location);
        // In Chinese, the language fillWorksheet reads and ChildProcess tells a lack of memory in.
        arguments << u"-l"_s << u"CHS"_s;
        m_progress.say(u"  allocfix %1"_s.arg(arguments.join(u' ')));
        const QString before = baselineFile(u"before-%1.fa"_s.arg(name));
        if (writes && m_baseline)
            SqliteBaseline::copyDatabase(m_location.path, before);
        std::optional<PostgresBaseline::Replay> pgReplay =
            writes ? pgBefore() : std::optional<PostgresBaseline::Replay>();
        const ChildProcess::Run run =
            ChildProcess::run(m_options.program, arguments, workFile(name + u".out"_s),
                              workFile(name + u".err"_s), m_options.programMemoryLimitMb);
        QJsonObject step{{u"seconds"_s, run.seconds},
                         {u"cpu_seconds"_s, run.cpuSeconds},
                         {u"peak_mb"_s, run.peakMb},
                         {u"command"_s, QString(u"allocfix "_s + arguments.join(u' '))}};
        if (!run.finished) {
            step[u"failed"_s] = true;
            step[u"memory_limit"_s] = run.memoryLimit;
            step[u"memory_limit_mb"_s] = m_options.programMemoryLimitMb;
            step[u"exit_code"_s] = run.exitCode;
            step[u"error"_s] = run.error;
            m_progress.say(u"  did not finish (exit %1%2): %3"_s.arg(run.exitCode)
                               .arg(run.memoryLimit ? u", memory limit"_s : QString())
                               .arg(run.error));
            QFile::remove(before);
        } else {
            m_progress.say(u"  %1 s, CPU %2 s, peak %3 MB"_s.arg(run.seconds, 0, 'f', 2)
                               .arg(run.cpuSeconds, 0, 'f', 2)
                               .arg(run.peakMb, 0, 'f', 0));
            if (writes && m_baseline)
                step[u"baseline"_s] = baselineSince(before);
            if (pgReplay)
                step[u"baseline"_s] = pgBaselineOf(*pgReplay);
        }
        m_steps[name] = step;
        return run.finished;
    }

    // The allocfix program as an administrator runs it, on a fresh set of the same size: the
    // wizard's steps have saved the manual cards of the first one.
    void programSteps()
    {
        m_progress.say(
            u"8/8 the allocfix program on a fresh set of %1 cards"_s.arg(m_options.cards));
        Component::unload();
        FixedAssets::AccountSet::closeAll();
        useAccountSet(
            FixedAssets::createDemoAccountSet(m_options.location, shape(m_options.cards, 0)));
        FixedAssets::AccountSet::closeAll();
        runProgram(u"program_check"_s, {u"check"_s});
        if (!runProgram(u"program_adjust"_s, {u"adjust"_s}, true))
            return;
        const QString csv = workFile(u"worksheet.csv"_s);
        const bool exported =
            runProgram(u"export_csv"_s, {u"export"_s, u"-o"_s, csv, u"--force"_s});
        runProgram(u"export_xlsx"_s,
                   {u"export"_s, u"-o"_s, workFile(u"worksheet.xlsx"_s), u"--force"_s});
        if (!exported)
            return;
        m_progress.say(u"  filling the worksheet: each department on the card's first account"_s);
        const QString filled = workFile(u"filled.csv"_s);
        const QString filledXlsx = workFile(u"filled.xlsx"_s);
        FilledLines lines;
        try {
            const Timing fill = timed([&] { lines = fillWorksheet(csv, {filled, filledXlsx}); });
            m_steps[u"fill_worksheet"_s] = QJsonObject{{u"seconds"_s, fill.seconds},
                                                       {u"cards"_s, lines.cards},
                                                       {u"new_lines"_s, lines.lines}};
        } catch (const std::exception &failure) {
            // A worksheet the benchmark cannot write is this step's failure, not the run's: the
            // figures of every other step are kept.
            const QString error = QString::fromUtf8(failure.what());
            m_progress.say(u"  the worksheet could not be filled: "_s + error);
            m_steps[u"fill_worksheet"_s] =
                QJsonObject{{u"failed"_s, true}, {u"exit_code"_s, 1}, {u"error"_s, error}};
            return;
        }
        m_progress.say(u"  %1 new lines for %2 cards"_s.arg(lines.lines).arg(lines.cards));
        runProgram(u"import_dry_run"_s, {u"import"_s, filled, u"--dry-run"_s});
        // The same rows as a workbook: read, and checked as the save checks them.
        runProgram(u"import_xlsx_dry_run"_s, {u"import"_s, filledXlsx, u"--dry-run"_s});
        // On SQLite the workbook is also imported for real, into the set as it was before the
        // CSV's import, so that both saves start from the same rows.
        const bool sqlite = m_location.kind == FixedAssets::AccountSetLocation::Kind::SQLite;
        const QString beforeImport = workFile(u"set-before-the-imports.fa"_s);
        if (sqlite)
            SqliteBaseline::copyDatabase(m_location.path, beforeImport);
        runProgram(u"import"_s, {u"import"_s, filled}, true);
        if (sqlite) {
            SqliteBaseline::copyDatabase(beforeImport, m_location.path);
            runProgram(u"import_xlsx"_s, {u"import"_s, filledXlsx});
        }
        for (const QString &file :
             {csv, filled, filledXlsx, workFile(u"worksheet.xlsx"_s), beforeImport})
            QFile::remove(file);
    }

    // One writer and many readers at once, on a fresh set of the same size.
    void loadStep()
    {
        m_progress.say(
            u"9/9 one writer and %1 readers on a fresh set of %2 cards"_s.arg(m_options.loadReaders)
                .arg(m_options.cards));
        Component::unload();
        FixedAssets::AccountSet::closeAll();
        Load::LoadOptions load;
        load.location =
            FixedAssets::createDemoAccountSet(m_options.location, shape(m_options.cards, 0));
        if (m_location.kind == FixedAssets::AccountSetLocation::Kind::SQLite) {
            // The readers pass the writer in write-ahead-log mode, which the set keeps.
            const FixedAssets::AccountSet set = FixedAssets::AccountSet::open(m_location);
            m_progress.say(
                u"  journal mode %1"_s.arg(set.scalar(u"PRAGMA journal_mode"_s).toString()));
        }
        FixedAssets::AccountSet::closeAll();
        load.program = m_options.program;
        load.cardReader = m_options.cardReader;
        load.workFolder = m_options.workFolder;
        load.readers = m_options.loadReaders;
        load.seconds = m_options.loadSeconds;
        load.memoryLimitMb = m_options.programMemoryLimitMb;
        load.progress = [this](const QString &text) { m_progress.say(text); };
        m_steps[u"load"_s] = Load::runLoad(load);
    }

    ScaleOptions m_options;
    FixedAssets::AccountSetLocation m_location;
    Progress m_progress;
    bool m_baseline;
    bool m_pgBaseline;
    QString m_databaseVersion;
    QJsonObject m_set;
    QJsonObject m_steps;
    QJsonObject m_memory;
    qint64 m_beforeRows = 0;
};

} // namespace

QJsonObject runScale(const ScaleOptions &options)
{
    return ScaleRun(options).run();
}

} // namespace Bench
