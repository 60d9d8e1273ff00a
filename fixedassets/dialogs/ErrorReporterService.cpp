#include "dialogs/ErrorReporterService.h"

#include "host/MMTS.h"
#include "host/MessageBox.h"

#include <cstdio>

using namespace Qt::StringLiterals;
using AllocFix::MMTS::LoadLangString;

namespace FixedAssets {

void ErrorReporterService::ReportError(const AllocFix::ErrorRecord &error, const QVariantList &)
{
    std::fprintf(stderr, "allocfix: error %d (%s): %s\n", error.number,
                 qUtf8Printable(error.source), qUtf8Printable(error.description));
    std::fflush(stderr);
    const QString text = error.description + u"\n\n"_s + LoadLangString(u"错误号："_s) +
                         QString::number(error.number) + u'\n' + LoadLangString(u"来源："_s) +
                         error.source;
    AllocFix::showMessage({text, AllocFix::MessageButtons::Ok, AllocFix::MessageIcon::Information,
                           LoadLangString(u"错误"_s), AllocFix::activeWindow()});
}

} // namespace FixedAssets
