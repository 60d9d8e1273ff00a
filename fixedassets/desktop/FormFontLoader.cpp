#include "desktop/FormFontLoader.h"

#include <QFontDatabase>
#include <QWidget>

using namespace Qt::StringLiterals;

namespace FixedAssets {

void FormFontLoader::SetFrmFont(QWidget *form, QString &language)
{
    if (form)
        form->setFont(fontFor(language));
}

QFont FormFontLoader::fontFor(const QString &language)
{
    if (language.trimmed().compare(u"CHS"_s, Qt::CaseInsensitive) == 0) {
        QFont font(u"Noto Sans CJK SC"_s, 9);
        font.setStyleHint(QFont::SansSerif);
        return font;
    }
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont);
}

} // namespace FixedAssets
