#pragma once

#include <QtGlobal>

// The component's hourglass: one nesting count for every request, whoever makes it.
namespace AllocFix {

// The nesting count of open hourglass requests.
extern qint32 WaitNesting;

// Shows the hourglass when the count rises from 0.
void BeginWait();
// Restores the pointer when the count falls to 0. Raises Failure 1 when the count falls below 0
// (more ends than begins); the count then stays negative.
void EndWait();
// Back to no request, as when the component is unloaded; a showing hourglass is taken away.
void resetWaitNesting();

// One request, from construction to destruction.
class Hourglass {
public:
    Hourglass();
    // An unbalanced end is swallowed here: a destructor has no caller to report to.
    ~Hourglass();
    Hourglass(const Hourglass &) = delete;
    Hourglass &operator=(const Hourglass &) = delete;
};

} // namespace AllocFix
