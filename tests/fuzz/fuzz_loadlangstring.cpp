// LoadLangString, LoadLangString2 and StripSpaces on any text, under a loader that translates,
// fails or answers odd text. The input's first byte picks the language and the loader.
#include "FuzzDesktop.h"
#include "host/MMTS.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

using namespace Qt::StringLiterals;
using namespace AllocFix;

namespace {

qsizetype leadingSpaces(const QString &text)
{
    qsizetype count = 0;
    while (count < text.size() && text[count] == u' ')
        ++count;
    return count;
}

void checkStripSpaces(const QString &text)
{
    QString leading = text;
    const qint32 lead = MMTS::StripSpaces(leading, true);
    if (lead != leadingSpaces(text) || leading != text.mid(lead))
        std::abort();
    QString trailing = leading;
    const qint32 trail = MMTS::StripSpaces(trailing, false);
    if (trailing.size() + trail != leading.size() || !leading.startsWith(trailing) ||
        trailing.endsWith(u' '))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    Fuzzing::registerScriptedDesktop();
    const uint8_t choice = data[0];
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data + 1),
                                           static_cast<qsizetype>(size - 1));
    const bool chinese = (choice & 1) != 0;
    Fuzzing::script().propsString = chinese ? u"Language=chs;"_s : u"Language=ENG;"_s;
    Fuzzing::script().loader = static_cast<Fuzzing::DesktopScript::Loader>((choice >> 1) % 3);

    checkStripSpaces(text);
    // A pending error survives every lookup.
    const ErrorRecord pending{7, u"pending"_s, u"source"_s, u"help"_s, 3};
    setCurrentError(pending);
    const QString shown = (choice & 8) ? MMTS::LoadLangString2(text) : MMTS::LoadLangString(text);
    if (!(currentError() == pending))
        std::abort();
    clearCurrentError();

    const bool blank = leadingSpaces(text) == text.size();
    if ((chinese || blank || Fuzzing::script().loader == Fuzzing::DesktopScript::Loader::Fails) &&
        shown != text)
        std::abort();
    // The outer spaces are kept around whatever the loader answers.
    QString reversed = text;
    std::reverse(reversed.begin(), reversed.end());
    if (!shown.startsWith(QString(leadingSpaces(text), u' ')) ||
        !shown.endsWith(QString(leadingSpaces(reversed), u' ')))
        std::abort();
    return 0;
}
