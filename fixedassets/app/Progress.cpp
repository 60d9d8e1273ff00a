#include "app/Progress.h"

#include "host/MMTS.h"

#include <unistd.h>

using namespace Qt::StringLiterals;
using AllocFix::MMTS::LoadLangString;

namespace FixedAssets {

namespace {
constexpr int BarWidth = 30;
constexpr qint64 RedrawMs = 100;
} // namespace

bool Progress::isShown(bool quiet, std::FILE *stream)
{
    return !quiet && isatty(fileno(stream)) == 1;
}

Progress::Progress(QString label, qint64 total, bool quiet, std::FILE *stream)
    : m_label(std::move(label))
    , m_total(total)
    , m_stream(stream)
    , m_shown(isShown(quiet, stream))
{
    m_sinceShown.start();
    show(false);
}

Progress::~Progress()
{
    finish();
}

void Progress::advance(qint64 steps)
{
    m_done = qMin(m_total, m_done + steps);
    show(false);
}

void Progress::finish()
{
    if (m_finished)
        return;
    m_done = m_total;
    show(true);
    m_finished = true;
}

void Progress::show(bool last)
{
    if (!m_shown)
        return;
    if (!last && m_done > 0 && m_sinceShown.elapsed() < RedrawMs)
        return;
    m_sinceShown.restart();
    const int percent = m_total > 0 ? static_cast<int>(100 * m_done / m_total) : 100;
    const QString counts = LoadLangString(u"%1，共 %2"_s).arg(m_done).arg(m_total);
    const int filled = BarWidth * percent / 100;
    const QString bar = QString(filled, u'#') + QString(BarWidth - filled, u'-');
    std::fprintf(m_stream, "\r%s [%s] %3d%%  %s%s", qUtf8Printable(m_label), qUtf8Printable(bar),
                 percent, qUtf8Printable(counts), last ? "\n" : "");
    std::fflush(m_stream);
}

} // namespace FixedAssets
