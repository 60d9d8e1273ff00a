#include "scale/ProcessMemory.h"

#include <QFile>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace Bench::ProcessMemory {

namespace {

// A "Name:   1234 kB" line of /proc/self/status, in bytes.
qint64 statusValue(const QByteArray &name)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> lines = status.readAll().split('\n');
    for (const QByteArray &line : lines) {
        if (line.startsWith(QByteArray(name + ':')))
            return line.mid(name.size() + 1).trimmed().split(' ').value(0).toLongLong() * 1024;
    }
    return 0;
}

} // namespace

qint64 residentBytes()
{
    return statusValue("VmRSS");
}

qint64 peakResidentBytes()
{
    return statusValue("VmHWM");
}

bool resetPeak()
{
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    return clearRefs.open(QIODevice::WriteOnly) && clearRefs.write("5") == 1;
}

void releaseFreedMemory()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

} // namespace Bench::ProcessMemory
