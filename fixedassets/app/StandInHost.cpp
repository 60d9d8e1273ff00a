#include "StandInHost.h"

#include "host/DesktopServices.h"
#include "host/ObjectRegistry.h"
#include "host/ProgIds.h"

#include <QFont>
#include <QWidget>

using namespace Qt::StringLiterals;

namespace FixedAssets {

namespace {

class SharedProperties final : public QObject, public AllocFix::ISharedProperties {
    Q_OBJECT
    Q_INTERFACES(AllocFix::ISharedProperties)
public:
    QVariant GetProperty(qint32 &, QString &name) override
    {
        return name == u"PropsString" ? QVariant(u"Language=CHS;"_s) : QVariant();
    }
};

class FontLoader final : public QObject, public AllocFix::IFormFontLoader {
    Q_OBJECT
    Q_INTERFACES(AllocFix::IFormFontLoader)
public:
    void SetFrmFont(QWidget *form, QString &) override
    {
        QFont font(u"Noto Sans CJK SC"_s, 9);
        form->setFont(font);
    }
};

} // namespace

void registerStandInHost()
{
    auto &registry = AllocFix::ObjectRegistry::instance();
    registry.registerClass(AllocFix::ProgId::ShareProps,
                           [] { return std::make_unique<SharedProperties>(); });
    registry.registerClass(AllocFix::ProgId::FormFontLoader,
                           [] { return std::make_unique<FontLoader>(); });
}

} // namespace FixedAssets

#include "StandInHost.moc"
