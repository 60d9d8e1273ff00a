#pragma once

#include <QString>

namespace FixedAssets::OutsideText {

// What came from outside the program (a path, a cell, an account set's name, a database's
// message) as a message may show it: every character a terminal or a text view would act on
// rather than show (C0 and C1 controls, ESC, BEL, CR, line breaks, bidi overrides and other
// format characters, lone surrogates) written as an escape such as \n or \u{202e}. The result
// holds no character below U+0020 and no bidi override, and escaping it again changes nothing.
// With maxShown >= 0, at most that many characters, then "…".
QString shown(const QString &text, qsizetype maxShown = -1);

} // namespace FixedAssets::OutsideText
