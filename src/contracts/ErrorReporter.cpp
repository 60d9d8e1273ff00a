#include "contracts/ErrorReporter.h"

#include "host/MessageBox.h"
#include "host/ObjectRegistry.h"
#include "host/ProgIds.h"

namespace AllocFix {

namespace {
ServiceObject<IErrorReporter> &cachedReporter()
{
    static ServiceObject<IErrorReporter> reporter;
    return reporter;
}
} // namespace

void reportCurrentError()
{
    const ErrorRecord error = currentError();
    try {
        ServiceObject<IErrorReporter> &reporter = cachedReporter();
        if (!reporter)
            reporter = createService<IErrorReporter>(ProgId::ErrorReporter);
        reporter->ReportError(error, {});
        return;
    } catch (...) {
        // Without a reporter the user must still learn of the error.
    }
    try {
        showCommandFailure(error.description, activeWindow());
    } catch (...) {
        qWarning("Error %d: %s", error.number, qUtf8Printable(error.description));
    }
}

void resetErrorReporter()
{
    cachedReporter() = ServiceObject<IErrorReporter>();
}

} // namespace AllocFix
