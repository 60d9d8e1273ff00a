#pragma once

#include <QElapsedTimer>
#include <QString>

#include <cstdio>

namespace FixedAssets {

// The progress of a long step on stderr: a bar redrawn in place, on a terminal only (a log or a
// pipe gets the answer and the faults, not how long they took), and not with --quiet. stdout
// stays free for the step's answer.
//
//     Progress progress(u"Reading cards"_s, cards.size(), options.quiet);
//     for (...) { ...; progress.advance(); }
//     progress.finish();
class Progress {
public:
    Progress(QString label, qint64 total, bool quiet, std::FILE *stream = stderr);
    // Whether progress on the stream would be shown.
    static bool isShown(bool quiet, std::FILE *stream = stderr);
    ~Progress();
    Progress(const Progress &) = delete;
    Progress &operator=(const Progress &) = delete;

    void advance(qint64 steps = 1);
    // Shows the step as done; the destructor does it too.
    void finish();

private:
    void show(bool last);

    QString m_label;
    qint64 m_total;
    qint64 m_done = 0;
    std::FILE *m_stream;
    bool m_shown;
    bool m_finished = false;
    QElapsedTimer m_sinceShown;
};

} // namespace FixedAssets
