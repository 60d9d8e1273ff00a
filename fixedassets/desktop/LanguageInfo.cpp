#include "desktop/LanguageInfo.h"

#include <array>
#include <utility>

using namespace Qt::StringLiterals;

namespace FixedAssets {

QString LanguageInfo::CurrentLanguage()
{
    return languageCodeOf(QLocale::system());
}

QString languageCodeOf(const QLocale &locale)
{
    if (locale.language() == QLocale::Chinese) {
        const bool traditional =
            locale.script() == QLocale::TraditionalChineseScript ||
            (locale.script() == QLocale::AnyScript &&
             (locale.territory() == QLocale::Taiwan || locale.territory() == QLocale::HongKong ||
              locale.territory() == QLocale::Macao));
        return traditional ? u"CHT"_s : u"CHS"_s;
    }
    static const std::array<std::pair<QLocale::Language, const char16_t *>, 6> codes{{
        {QLocale::Japanese, u"JPN"},
        {QLocale::Korean, u"KOR"},
        {QLocale::German, u"DEU"},
        {QLocale::French, u"FRA"},
        {QLocale::Spanish, u"ESP"},
        {QLocale::Russian, u"RUS"},
    }};
    for (const auto &[language, code] : codes) {
        if (locale.language() == language)
            return QString::fromUtf16(code);
    }
    return u"ENG"_s;
}

} // namespace FixedAssets
