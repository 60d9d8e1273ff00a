#pragma once

#include "allocfix_export.h"

#include <QString>
#include <QVariant>

class QWidget;

// Host services: the host property string, localised texts, form fonts and F1 help. The outside
// objects behind them are created on first need and kept until the component unloads; a failed
// creation is tried again at the next call.
namespace AllocFix::MMTS {

// The text to show for one of the component's own texts. Under "CHS" the text itself; otherwise
// the resource loader's text for it, with the outer spaces and end apostrophes kept. Never fails:
// on any failure the text comes back unchanged. The current error record is left as it was.
ALLOCFIX_PRIVATE_EXPORT QString LoadLangString(const QString &text);
// The same for a list column header, through the loader's second lookup.
QString LoadLangString2(const QString &text);

// The value of the pair named key in the host property string (name matched without regard to
// case, at the start of a pair only), or the host language when the string is empty. Never fails;
// the answer may be empty.
ALLOCFIX_PRIVATE_EXPORT QString GetLanguage(const QString &key);

// Removes the run of spaces at the start (leading) or end of text; returns how many.
qint32 StripSpaces(QString &text, bool leading);

// Lets the host set the form's fonts for its language. Failures reach the caller.
ALLOCFIX_PRIVATE_EXPORT void ApplyFormFont(QWidget *form);

ALLOCFIX_PRIVATE_EXPORT QString GetPropsString();
// The property of the current process: a plain value, or a QVariant holding an object.
QVariant GetShareProp(const QString &name);

// F1 (key code 112) shows the help context; any other key does nothing. Returns whether the key
// was F1. A help tool that cannot be created or fails is ignored, so a form stays usable.
bool HandleHelpKey(qint32 keyCode, qint32 helpContext, const QString &text1, qint32 number1,
                   const QString &text2, qint32 number2);

inline constexpr qint32 HelpContextAdjustment = 90041;

// Releases the cached objects and forgets the form font language (component unload).
void resetModuleState();

} // namespace AllocFix::MMTS
