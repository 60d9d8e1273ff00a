// The program's options on any command line: the input's lines are the arguments. It answers
// options that make sense or a Failure for the user, one line with nothing a terminal would act
// on, and never prints or exits.
#include "TerminalText.h"
#include "accountset/AccountSetErrors.h"
#include "app/ProgramOptions.h"

#include <cstdint>
#include <cstdlib>

using namespace Qt::StringLiterals;
using namespace FixedAssets;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString input =
        QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QStringList arguments = QStringList{u"allocfix"_s} + input.split(u'\n');
    ProgramOptions options;
    try {
        options = ProgramOptions::parse(arguments);
    } catch (const AllocFix::Failure &failure) {
        if (failure.number() != AllocFix::ErrorNumber::InvalidArgument &&
            failure.number() != AccountSetError::BadLocation)
            std::abort();
        if (failure.description().isEmpty() || terminalActsOn(failure.description().toUtf8()))
            std::abort();
        return 0;
    }
    if (options.action == ProgramOptions::Action::ShowText && options.text.isEmpty())
        std::abort();
    if (options.demoCards &&
        (*options.demoCards < 1 || *options.demoCards > ProgramOptions::MaxDemoCards))
        std::abort();
    if (options.force && !options.demoCards)
        std::abort();
    return 0;
}
