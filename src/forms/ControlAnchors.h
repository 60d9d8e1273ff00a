#pragma once

#include <QList>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QWidget>

#include <functional>

namespace AllocFix {

// How a control follows a form grown beyond its design size: its left and top edges move, and its
// width and height grow, by these fractions of the growth.
struct Anchor {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};

// The controls of a form that grows, each with its place at the design size and its anchor. At
// the design size every control stands exactly at its place; larger, it follows its anchor. The
// places are plain geometry, so a form keeps placing its controls in twips.
class ControlAnchors {
public:
    // Takes control's present geometry as its place at the design size.
    void add(QWidget *control, Anchor anchor);
    // Places every control for a form grown by growth (never below its design size).
    void apply(QSize growth);
    QSize growth() const { return m_growth; }
    // Runs change on the controls as they stand at the design size, takes the geometry it leaves
    // as their new places, then grows them again: a form's own placing stays in design terms.
    void atDesignSize(const std::function<void()> &change);
    // Where control stands at the design size; an invalid rectangle for a control not added.
    QRect designPlace(const QWidget *control) const;

private:
    struct Entry {
        QPointer<QWidget> control;
        QRect place;
        Anchor anchor;
    };
    QList<Entry> m_entries;
    QSize m_growth{0, 0};
};

} // namespace AllocFix
