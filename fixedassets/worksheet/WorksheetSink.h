#pragma once

#include <QString>

namespace FixedAssets {

struct WorksheetFault;

// Where the worksheet's export and import tell what they do: the program prints it, a test
// records it. The library never prints.
class WorksheetSink {
public:
    virtual ~WorksheetSink() = default;

    // A long step: started with its label and total, advanced, finished (on a failure too, see
    // SinkProgress). One step at a time.
    virtual void startProgress(const QString &label, qint64 total) = 0;
    virtual void advanceProgress(qint64 steps) = 0;
    virtual void finishProgress() = 0;
    // What is being done now, where no count fits: it goes with the progress, not the answer.
    virtual void progressLine(const QString &text) = 0;
    // A fault of the worksheet, in the order of its lines; only the first WorksheetFaults::Shown
    // come.
    virtual void fault(const WorksheetFault &fault) = 0;
    // A line of the answer, told when it happens (a later failure does not take it back).
    virtual void info(const QString &text) = 0;
};

// A step's progress through a sink, finished when it goes out of scope.
class SinkProgress {
public:
    SinkProgress(WorksheetSink &sink, const QString &label, qint64 total)
        : m_sink(sink)
    {
        m_sink.startProgress(label, total);
    }
    ~SinkProgress() { m_sink.finishProgress(); }
    SinkProgress(const SinkProgress &) = delete;
    SinkProgress &operator=(const SinkProgress &) = delete;

    void advance(qint64 steps = 1) { m_sink.advanceProgress(steps); }

private:
    WorksheetSink &m_sink;
};

} // namespace FixedAssets
