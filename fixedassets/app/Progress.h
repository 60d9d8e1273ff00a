#pragma once

#include <QElapsedTimer>
#include <QString>

#include <cstdio>

namespace FixedAssets {

// The progress of a long step on stderr: a bar redrawn in place on a terminal, a plain line at
// every tenth otherwise (a log or a pipe keeps a few lines, not thousands). stdout stays free for
// the step's answer.
//
//     Progress progress(u"Reading cards"_s, cards.size());
//     for (...) { ...; progress.advance(); }
//     progress.finish();
class Progress {
public:
    Progress(QString label, qint64 total, std::FILE *stream = stderr);
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
    bool m_terminal;
    bool m_finished = false;
    int m_shownTenth = -1;
    QElapsedTimer m_sinceShown;
};

} // namespace FixedAssets
