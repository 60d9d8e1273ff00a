#pragma once

#include <QProcess>
#include <QStringList>

namespace FixedAssets::Testing {

// The account set worker (support/accountset_worker.cpp): a second user of an account set, or a
// process to kill, in a process of its own. The child is killed when this object goes.
//
//     WorkerProcess other({u"adjust-and-hold"_s, location, u"-1"_s});
//     QVERIFY(other.waitForLine("holding"));
class WorkerProcess {
public:
    explicit WorkerProcess(const QStringList &arguments);
    ~WorkerProcess();
    WorkerProcess(const WorkerProcess &) = delete;
    WorkerProcess &operator=(const WorkerProcess &) = delete;

    // Waits until the worker prints a line that starts with prefix; false when it ends first.
    bool waitForLine(const QByteArray &prefix);
    // Closes the worker's input: a holding worker commits, a waiting one goes on.
    void release();
    // Closes the worker's input and waits for its end. Answers
    // its exit code, or -1 when it crashed or was killed.
    int finish();
    // Everything it printed so far.
    QString output();
    QProcess &process() { return m_process; }

private:
    QProcess m_process;
    QByteArray m_output;
    qsizetype m_scanned = 0;
};

} // namespace FixedAssets::Testing
