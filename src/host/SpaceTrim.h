#pragma once

#include <QString>

namespace AllocFix {

// Removes leading and trailing U+0020 only. The host's texts treat tabs and ideographic spaces
// as content, so QString::trimmed() would be wrong here.
QString trimSpaces(QStringView text);

} // namespace AllocFix
