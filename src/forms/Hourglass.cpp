#include "forms/Hourglass.h"

#include "host/ErrorRecord.h"

#include <QCursor>
#include <QGuiApplication>

using namespace Qt::StringLiterals;

namespace AllocFix {

qint32 WaitNesting = 0;

namespace {
bool hasGui()
{
    return qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr;
}
} // namespace

void BeginWait()
{
    const qint32 previous = WaitNesting;
    ++WaitNesting;
    if (previous == 0 && hasGui())
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void EndWait()
{
    --WaitNesting;
    if (WaitNesting < 0) {
        throw Failure(ErrorNumber::UnbalancedWait,
                      u"The hourglass was ended more often than it was begun"_s,
                      u"AllocFix.WaitCursor"_s);
    }
    if (WaitNesting == 0 && hasGui())
        QGuiApplication::restoreOverrideCursor();
}

void resetWaitNesting()
{
    if (WaitNesting > 0 && hasGui())
        QGuiApplication::restoreOverrideCursor();
    WaitNesting = 0;
}

Hourglass::Hourglass()
{
    BeginWait();
}

Hourglass::~Hourglass()
{
    try {
        EndWait();
    } catch (const Failure &) {
    }
}

} // namespace AllocFix
