#pragma once

#include "allocfix_export.h"
#include "host/ErrorRecord.h"

#include <QObject>
#include <QVariantList>

namespace AllocFix {

// The host's error reporting object ("FixedAssets.ErrorReporter"). How the error reaches the
// user is the reporter's business.
class ALLOCFIX_EXPORT IErrorReporter {
public:
    virtual ~IErrorReporter() = default;
    virtual void ReportError(const ErrorRecord &error, const QVariantList &extra) = 0;
};

// Hands the current error record to the reporter, created on first use and kept for the life of
// the component. Never fails: when there is no reporter, the error is shown in a message box.
ALLOCFIX_EXPORT void reportCurrentError();

ALLOCFIX_EXPORT void resetErrorReporter();

} // namespace AllocFix

Q_DECLARE_INTERFACE(AllocFix::IErrorReporter, "AllocFix.IErrorReporter/1.0")
