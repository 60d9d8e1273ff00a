// The host property string: GetPropsString and GetLanguage on any text. The input's first line
// is the name asked for; the rest is the property string.
#include "FuzzDesktop.h"
#include "host/MMTS.h"

#include <cstdint>
#include <cstdlib>

using namespace Qt::StringLiterals;
using namespace AllocFix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Fuzzing::registerScriptedDesktop();
    const QString input =
        QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const qsizetype newline = input.indexOf(u'\n');
    const QString key = newline < 0 ? u"Language"_s : input.left(newline);
    const QString props = newline < 0 ? input : input.mid(newline + 1);
    Fuzzing::script().propsString = props;

    if (MMTS::GetPropsString() != props)
        std::abort();
    const QString value = MMTS::GetLanguage(key);
    // A value lies within one pair of the string.
    if (value.contains(u';') || (!value.isEmpty() && !props.contains(value)))
        std::abort();
    return 0;
}
