#pragma once

#include "app/Progress.h"
#include "worksheet/WorksheetSink.h"

#include <QString>

#include <optional>

namespace FixedAssets {

// The worksheet's progress and faults on stderr, its answers on stdout, through the program's
// one printer.
class PrintingSink final : public WorksheetSink {
public:
    // Faults are told as "file:line: reason".
    explicit PrintingSink(QString file);

    void startProgress(const QString &label, qint64 total) override;
    void advanceProgress(qint64 steps) override;
    void finishProgress() override;
    void progressLine(const QString &text) override;
    void fault(const WorksheetFault &fault) override;
    void info(const QString &text) override;

private:
    QString m_file;
    std::optional<Progress> m_progress;
};

} // namespace FixedAssets
