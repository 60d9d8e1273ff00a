#include "app/PrintingSink.h"

#include "app/Subcommands.h"

#include <cstdio>

using namespace Qt::StringLiterals;

namespace FixedAssets {

PrintingSink::PrintingSink(QString file, const ProgramOptions &options)
    : m_file(std::move(file))
    , m_quiet(options.quiet)
    , m_kept(options.format == ProgramOptions::Format::Json)
    , m_answers(ProgramOptions::isStandardStream(options.output) ? stderr : stdout)
{}

void PrintingSink::startProgress(const QString &label, qint64 total)
{
    m_progress.emplace(label, total, m_quiet);
}

void PrintingSink::advanceProgress(qint64 steps)
{
    if (m_progress)
        m_progress->advance(steps);
}

void PrintingSink::finishProgress()
{
    m_progress.reset(); // Progress shows itself done as it goes
}

void PrintingSink::progressLine(const QString &text)
{
    if (Progress::isShown(m_quiet))
        Subcommands::printLine(stderr, text);
}

void PrintingSink::fault(const WorksheetFault &fault)
{
    if (m_kept)
        m_faults.append(fault);
    else
        Subcommands::printLine(stderr, fault.in(m_file));
}

void PrintingSink::info(const QString &text)
{
    if (m_kept)
        m_notes.append(text);
    else
        Subcommands::printLine(m_answers, text);
}

} // namespace FixedAssets
