#include "app/PrintingSink.h"

#include "app/Subcommands.h"
#include "worksheet/WorksheetFaults.h"

#include <cstdio>

using namespace Qt::StringLiterals;

namespace FixedAssets {

PrintingSink::PrintingSink(QString file)
    : m_file(std::move(file))
{}

void PrintingSink::startProgress(const QString &label, qint64 total)
{
    m_progress.emplace(label, total);
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
    Subcommands::printLine(stderr, text);
}

void PrintingSink::fault(const WorksheetFault &fault)
{
    Subcommands::printLine(stderr, fault.in(m_file));
}

void PrintingSink::info(const QString &text)
{
    Subcommands::printLine(stdout, text);
}

} // namespace FixedAssets
