#pragma once

#include <QWidget>

#include <functional>

namespace AllocFix::Testing {

// Acts on the next modal window once it is shown, the way qtbase's ExecCloseHelper does:
//
//     whenModalShown([](QWidget *dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
//     form.showModal();   // returns once the action has closed it
//
// The action runs from the event loop of the modal window. If the window it waits for is not
// there after a few seconds, the action is not run, a warning is printed and the modal window
// that is there is closed, so the test fails instead of hanging.
void whenModalShown(std::function<void(QWidget *modal)> action);

// Like whenModalShown, but waits for a modal window that is not the one currently active, so a
// test can act on a dialog that a modal form opens in turn.
void whenNextModalShown(std::function<void(QWidget *modal)> action);

} // namespace AllocFix::Testing
