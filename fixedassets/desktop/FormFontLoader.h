#pragma once

#include "host/DesktopServices.h"

#include <QFont>
#include <QObject>

namespace FixedAssets {

// "Tessik.TessikLoader": sets a form's font, which its controls inherit: Noto Sans CJK SC 9 pt
// for "CHS", the system's UI font for any other language.
class FormFontLoader final : public QObject, public AllocFix::IFormFontLoader {
    Q_OBJECT
    Q_INTERFACES(AllocFix::IFormFontLoader)
public:
    void SetFrmFont(QWidget *form, QString &language) override;

    static QFont fontFor(const QString &language);
};

} // namespace FixedAssets
