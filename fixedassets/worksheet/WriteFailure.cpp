#include "worksheet/WriteFailure.h"

#include "accountset/OutsideText.h"
#include "host/ErrorRecord.h"
#include "host/MMTS.h"

using namespace Qt::StringLiterals;

namespace FixedAssets {

void raiseCannotWrite(const QString &path, const QString &why)
{
    throw AllocFix::Failure(AllocFix::ErrorNumber::InvalidArgument,
                            AllocFix::MMTS::LoadLangString(u"无法写入 %1：%2"_s)
                                .arg(OutsideText::shown(path), OutsideText::shown(why)),
                            u"allocfix"_s);
}

} // namespace FixedAssets
