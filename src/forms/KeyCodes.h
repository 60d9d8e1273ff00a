#pragma once

#include <QtGlobal>

class QKeyEvent;

// The host's key codes, which its help and key handlers expect (F1 = 112, F7 = 118, Esc = 27).
namespace AllocFix::KeyCode {
inline constexpr qint32 Escape = 27;
inline constexpr qint32 F1 = 112;
inline constexpr qint32 F7 = 118;

// 0 for a key that has no host key code.
qint32 of(const QKeyEvent &event);
} // namespace AllocFix::KeyCode
