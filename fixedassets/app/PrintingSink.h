#pragma once

#include "app/ProgramOptions.h"
#include "app/Progress.h"
#include "worksheet/WorksheetFaults.h"
#include "worksheet/WorksheetSink.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace FixedAssets {

// The worksheet's progress and faults on stderr, its answers on stdout, through the program's
// one printer. Progress shows on a terminal only, and not with --quiet. With --format json the
// faults and answers are kept for the caller's JSON instead; with -o - the answers go to stderr,
// stdout carrying the worksheet itself.
class PrintingSink final : public WorksheetSink {
public:
    // Faults are told as "file:line: reason".
    PrintingSink(QString file, const ProgramOptions &options);

    void startProgress(const QString &label, qint64 total) override;
    void advanceProgress(qint64 steps) override;
    void finishProgress() override;
    void progressLine(const QString &text) override;
    void fault(const WorksheetFault &fault) override;
    void info(const QString &text) override;

    // --format json: what was not printed.
    const QList<WorksheetFault> &faults() const { return m_faults; }
    const QStringList &notes() const { return m_notes; }

private:
    QString m_file;
    bool m_quiet;
    bool m_kept;
    std::FILE *m_answers;
    std::optional<Progress> m_progress;
    QList<WorksheetFault> m_faults;
    QStringList m_notes;
};

} // namespace FixedAssets
