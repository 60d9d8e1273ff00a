#pragma once

#include "host/DesktopServices.h"

#include <QLocale>
#include <QObject>

namespace FixedAssets {

// "Q7LangInfo.LangInfo": the host's language from the system locale.
class LanguageInfo final : public QObject, public AllocFix::ILanguageInfo {
    Q_OBJECT
    Q_INTERFACES(AllocFix::ILanguageInfo)
public:
    QString CurrentLanguage() override;
};

// The host's code of a locale's language: "CHS" Simplified Chinese, "CHT" Traditional Chinese,
// "ENG" English, "JPN", "KOR", "DEU", "FRA", "ESP", "RUS"; "ENG" for any other language.
QString languageCodeOf(const QLocale &locale);

} // namespace FixedAssets
