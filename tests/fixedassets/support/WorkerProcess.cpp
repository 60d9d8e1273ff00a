#include "support/WorkerProcess.h"

#include <QDeadlineTimer>

using namespace Qt::StringLiterals;

namespace FixedAssets::Testing {

namespace {

// Generous: the worker may run under sanitizers on a busy machine.
constexpr int PatienceMs = 120000;

} // namespace

WorkerProcess::WorkerProcess(const QStringList &arguments)
{
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QString::fromUtf8(ALLOCFIX_ACCOUNTSET_WORKER), arguments);
}

WorkerProcess::~WorkerProcess()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished();
    }
}

bool WorkerProcess::waitForLine(const QByteArray &prefix)
{
    const QDeadlineTimer deadline(PatienceMs);
    for (;;) {
        m_output += m_process.readAllStandardOutput();
        for (qsizetype end = m_output.indexOf('\n', m_scanned); end >= 0;
             end = m_output.indexOf('\n', m_scanned)) {
            const bool found = m_output.mid(m_scanned, end - m_scanned).startsWith(prefix);
            m_scanned = end + 1;
            if (found)
                return true;
        }
        if (m_process.state() == QProcess::NotRunning || deadline.hasExpired())
            return false;
        m_process.waitForReadyRead(100);
    }
}

void WorkerProcess::release()
{
    m_process.closeWriteChannel();
}

int WorkerProcess::finish()
{
    release();
    if (!m_process.waitForFinished(PatienceMs))
        m_process.kill();
    m_process.waitForFinished();
    m_output += m_process.readAllStandardOutput();
    return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
}

QString WorkerProcess::output()
{
    m_output += m_process.readAllStandardOutput();
    return QString::fromUtf8(m_output);
}

} // namespace FixedAssets::Testing
