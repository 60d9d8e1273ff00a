#pragma once

#include "contracts/ErrorReporter.h"

#include <QObject>

namespace FixedAssets {

// "FixedAssets.ErrorReporter": a message box with the error's description, number and source,
// over the active window, and one line on stderr.
class ErrorReporterService final : public QObject, public AllocFix::IErrorReporter {
    Q_OBJECT
    Q_INTERFACES(AllocFix::IErrorReporter)
public:
    void ReportError(const AllocFix::ErrorRecord &error, const QVariantList &extra) override;
};

} // namespace FixedAssets
