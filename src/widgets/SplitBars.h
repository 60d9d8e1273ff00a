#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

namespace AllocFix {

// One slim bar per part of a split, each filled to its share and labelled with its name and
// percentage: green for a part that is complete and accepted, red for one that is not, grey for a
// share that belongs to no part. What the bars say in colour is also in the full text, which the
// widget gives as its tooltip and accessible description.
class SplitBars : public QWidget {
    Q_OBJECT
public:
    enum class State { Accepted, Faulty, Unassigned };
    struct Bar {
        QString name;
        double share = 0; // 1 is the whole; the fill stops at the whole
        QString shareText;
        State state = State::Faulty;
    };

    explicit SplitBars(QWidget *parent = nullptr);

    void setBars(const QList<Bar> &bars, const QString &fullText);
    const QList<Bar> &bars() const { return m_bars; }
    // The height all bars need, one line each.
    int barsHeight() const;
    static QColor colour(State state);
    // The names as the bars show them: whole, unless the widget is too narrow for them.
    QStringList shownNames() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int lineHeight() const;
    int nameWidth() const;

    QList<Bar> m_bars;
};

} // namespace AllocFix
