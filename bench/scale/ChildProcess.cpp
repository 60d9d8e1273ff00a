#include "scale/ChildProcess.h"

#include <QElapsedTimer>
#include <QFile>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace Qt::StringLiterals;

namespace Bench::ChildProcess {

namespace {

QString lastLine(const QString &file)
{
    QFile errors(file);
    if (!errors.open(QIODevice::ReadOnly))
        return {};
    const QStringList lines = QString::fromUtf8(errors.readAll()).split(u'\n', Qt::SkipEmptyParts);
    return lines.isEmpty() ? QString() : lines.last().trimmed();
}

// An allocation failure the program told (in Chinese, as the benchmark runs it: "the worksheet is
// too large to read"), one nothing caught, or the abort or kill it ends in.
bool failedForMemory(int programSignal, int status, const QString &error)
{
    const int signal = programSignal != 0    ? programSignal
                       : WIFSIGNALED(status) ? WTERMSIG(status)
                                             : 0;
    if (signal != 0)
        return signal == SIGABRT || signal == SIGKILL || signal == SIGSEGV;
    return error.contains(u"bad_alloc"_s) || error.contains(u"太大，无法读取"_s);
}

// What GNU time wrote of the program: "Command terminated by signal N" when it was killed, then
// "elapsed user system peak-KB".
struct Measured {
    bool read = false;
    double cpuSeconds = 0;
    double peakKb = 0;
    int signal = 0;
};

Measured readStats(const QString &file)
{
    QFile stats(file);
    Measured measured;
    if (!stats.open(QIODevice::ReadOnly))
        return measured;
    const QStringList lines = QString::fromUtf8(stats.readAll()).split(u'\n', Qt::SkipEmptyParts);
    for (const QString &line : lines) {
        static const QString killed = u"Command terminated by signal "_s;
        if (line.startsWith(killed)) {
            measured.signal = line.mid(killed.size()).toInt();
            continue;
        }
        const QStringList values = line.split(u' ', Qt::SkipEmptyParts);
        if (values.size() != 4)
            continue;
        measured.read = true;
        measured.cpuSeconds = values[1].toDouble() + values[2].toDouble();
        measured.peakKb = values[3].toDouble();
    }
    return measured;
}

} // namespace

bool memoryLimitApplies()
{
#if defined(__SANITIZE_ADDRESS__)
    return false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    return false;
#else
    return true;
#endif
#else
    return true;
#endif
}

Run run(const QString &program, const QStringList &arguments, const QString &outputFile,
        const QString &errorFile, qint64 memoryLimitMb)
{
    // The program runs under GNU time, which measures it with wait4 as a child of its own. Our
    // own wait4 would not do: a child forked from this process keeps this process's resident
    // memory as its peak across exec, and the benchmark holds a large account set's rows.
    const QString statsFile = outputFile + u".rusage"_s;
    QFile::remove(statsFile);
    std::vector<QByteArray> words{QByteArrayLiteral("/usr/bin/time"), QByteArrayLiteral("-f"),
                                  QByteArrayLiteral("%e %U %S %M"),   QByteArrayLiteral("-o"),
                                  QFile::encodeName(statsFile),       QByteArrayLiteral("--"),
                                  QFile::encodeName(program)};
    for (const QString &argument : arguments)
        words.push_back(argument.toUtf8());
    std::vector<char *> argv;
    for (QByteArray &word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    const QByteArray output = QFile::encodeName(outputFile);
    const QByteArray errors = QFile::encodeName(errorFile);
    if (!memoryLimitApplies())
        memoryLimitMb = 0;
    const rlimit limit{static_cast<rlim_t>(memoryLimitMb) << 20, static_cast<rlim_t>(memoryLimitMb)
                                                                     << 20};

    QElapsedTimer clock;
    clock.start();
    // Everything the child needs is made before fork: after it, only async-signal-safe calls.
    const pid_t child = fork();
    if (child < 0)
        throw std::runtime_error("cannot start " + program.toStdString());
    if (child == 0) {
        const int out = open(output.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open(errors.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out < 0 || err < 0 || dup2(out, STDOUT_FILENO) < 0 || dup2(err, STDERR_FILENO) < 0)
            _exit(127);
        // Inherited by the program that time starts.
        if (memoryLimitMb > 0 && setrlimit(RLIMIT_AS, &limit) != 0)
            _exit(127);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR)
            throw std::runtime_error("lost the child " + program.toStdString());
    }
    Run result;
    result.seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    const Measured measured = readStats(statsFile);
    if (!measured.read) {
        throw std::runtime_error(
            "no measurement of " + program.toStdString() +
            ": the benchmark runs it under /usr/bin/time (Debian package time)");
    }
    result.cpuSeconds = measured.cpuSeconds;
    result.peakMb = measured.peakKb / 1024.0;
    // time ends as the program did: with its exit status, or with its signal's.
    const int programSignal = measured.signal;
    result.finished = programSignal == 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    result.exitCode = programSignal != 0  ? 128 + programSignal
                      : WIFEXITED(status) ? WEXITSTATUS(status)
                                          : 128 + WTERMSIG(status);
    if (!result.finished) {
        result.error = lastLine(errorFile);
        result.memoryLimit =
            memoryLimitMb > 0 && failedForMemory(programSignal, status, result.error);
    }
    QFile::remove(statsFile);
    return result;
}

} // namespace Bench::ChildProcess
