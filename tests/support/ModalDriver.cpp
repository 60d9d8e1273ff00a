#include "support/ModalDriver.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace AllocFix::Testing {

namespace {

constexpr int PollMs = 10;
constexpr int GiveUpMs = 5000;

void poll(QPointer<QWidget> previous, std::function<void(QWidget *)> action,
          std::shared_ptr<QElapsedTimer> clock)
{
    QWidget *modal = QApplication::activeModalWidget();
    if (modal && modal != previous && modal->isVisible()) {
        action(modal);
        return;
    }
    if (clock->elapsed() > GiveUpMs) {
        qWarning("whenModalShown: the expected modal window did not appear");
        // Close whatever is modal so the test fails instead of hanging.
        if (modal)
            modal->close();
        return;
    }
    QTimer::singleShot(PollMs, qApp, [previous, action = std::move(action), clock]() mutable {
        poll(previous, std::move(action), clock);
    });
}

void start(QWidget *previous, std::function<void(QWidget *)> action)
{
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QTimer::singleShot(0, qApp,
                       [previous = QPointer<QWidget>(previous), action = std::move(action),
                        clock]() mutable { poll(previous, std::move(action), clock); });
}

} // namespace

void whenModalShown(std::function<void(QWidget *modal)> action)
{
    start(nullptr, std::move(action));
}

void whenNextModalShown(std::function<void(QWidget *modal)> action)
{
    start(QApplication::activeModalWidget(), std::move(action));
}

} // namespace AllocFix::Testing
