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

double seconds(const timeval &time)
{
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
}

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
bool failedForMemory(int status, const QString &error)
{
    if (WIFSIGNALED(status))
        return WTERMSIG(status) == SIGABRT || WTERMSIG(status) == SIGKILL ||
               WTERMSIG(status) == SIGSEGV;
    return error.contains(u"bad_alloc"_s) || error.contains(u"太大，无法读取"_s);
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
    // Everything the child needs is made before fork: after it, only async-signal-safe calls.
    std::vector<QByteArray> words{QFile::encodeName(program)};
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
    const pid_t child = fork();
    if (child < 0)
        throw std::runtime_error("cannot start " + program.toStdString());
    if (child == 0) {
        const int out = open(output.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open(errors.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out < 0 || err < 0 || dup2(out, STDOUT_FILENO) < 0 || dup2(err, STDERR_FILENO) < 0)
            _exit(127);
        if (memoryLimitMb > 0 && setrlimit(RLIMIT_AS, &limit) != 0)
            _exit(127);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    while (wait4(child, &status, 0, &usage) < 0) {
        if (errno != EINTR)
            throw std::runtime_error("lost the child " + program.toStdString());
    }
    Run result;
    result.seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    result.cpuSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    result.peakMb = static_cast<double>(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
    result.finished = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    if (!result.finished) {
        result.error = lastLine(errorFile);
        result.memoryLimit = memoryLimitMb > 0 && failedForMemory(status, result.error);
    }
    return result;
}

} // namespace Bench::ChildProcess
