#include "FuzzDesktop.h"

#include "host/ObjectRegistry.h"
#include "host/ProgIds.h"

using namespace Qt::StringLiterals;

namespace AllocFix::Fuzzing {

DesktopScript &script()
{
    static DesktopScript current;
    return current;
}

QVariant ScriptedSharedProperties::GetProperty(qint32 &, QString &name)
{
    return name == u"PropsString" ? QVariant(script().propsString) : QVariant();
}

QString ScriptedResourceLoader::LoadString(QString &key)
{
    switch (script().loader) {
    case DesktopScript::Loader::Echo:
        return u'<' + key + u'>';
    case DesktopScript::Loader::Fails:
        throw Failure(ErrorNumber::ServiceBase + 1, u"no text for "_s + key);
    case DesktopScript::Loader::Mangles:
        return u"  '"_s + key + QChar(0) + u"' "_s;
    }
    return key;
}

void registerScriptedDesktop()
{
    static const bool registered = [] {
        ObjectRegistry::instance().registerClass(
            ProgId::ShareProps, [] { return std::make_unique<ScriptedSharedProperties>(); });
        ObjectRegistry::instance().registerClass(
            ProgId::ResourceLoader, [] { return std::make_unique<ScriptedResourceLoader>(); });
        return true;
    }();
    Q_UNUSED(registered);
}

} // namespace AllocFix::Fuzzing
