#include "desktop/SharedProperties.h"

#include <QCoreApplication>
#include <QHash>

using namespace Qt::StringLiterals;

namespace FixedAssets {

namespace {
// Process ID -> property name -> value. One process holds only its own, but the key keeps the
// contract: a caller that names another process gets nothing.
QHash<qint32, QHash<QString, QVariant>> &store()
{
    static QHash<qint32, QHash<QString, QVariant>> properties;
    return properties;
}
} // namespace

QVariant SharedPropertiesService::GetProperty(qint32 &processId, QString &name)
{
    return store().value(processId).value(name);
}

void setSharedProperty(qint32 processId, const QString &name, const QVariant &value)
{
    store()[processId].insert(name, value);
}

void publishPropsString(const QString &props)
{
    setSharedProperty(static_cast<qint32>(QCoreApplication::applicationPid()), u"PropsString"_s,
                      props);
}

void clearSharedProperties()
{
    store().clear();
}

} // namespace FixedAssets
