#pragma once

#include <QString>
#include <QStringList>

// Runs a program as an administrator would, one child process at a time, and measures it the way
// the kernel counts it: its own CPU time and its peak resident memory (GNU time's wait4), not
// this process's.
namespace Bench::ChildProcess {

struct Run {
    bool finished = false;
    // It failed for want of memory under the limit it was given (an allocation refused, or the
    // program killed while it grew), rather than refusing its input.
    bool memoryLimit = false;
    int exitCode = -1;
    double seconds = 0;
    double cpuSeconds = 0;
    double peakMb = 0;
    // The last line the program wrote to stderr, when it failed.
    QString error;
};

// False in a build under AddressSanitizer, whose shadow memory takes terabytes of address space:
// there the limit is not set, and a child may take what it needs.
bool memoryLimitApplies();

// Runs program with arguments, its output to outputFile and its errors to errorFile, its address
// space limited to memoryLimitMb (0: no limit), so that a program that grows past what the machine
// can spare fails on its own instead of taking the machine down.
Run run(const QString &program, const QStringList &arguments, const QString &outputFile,
        const QString &errorFile, qint64 memoryLimitMb);

} // namespace Bench::ChildProcess
