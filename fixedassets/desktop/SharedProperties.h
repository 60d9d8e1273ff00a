#pragma once

#include "fixedassets_export.h"
#include "host/DesktopServices.h"

#include <QObject>
#include <QVariant>

namespace FixedAssets {

// "Quarn.ShareProps": properties scoped to a process. The host program stores its property
// string at start:
//
//     FixedAssets::publishPropsString(u"Language=CHS;AcctSet=sqlite:/data/set.fa;"_s);
//
// GetProperty answers an empty value for a process or name that has none.
class FIXEDASSETS_EXPORT SharedPropertiesService final :
    public QObject,
    public AllocFix::ISharedProperties {
    Q_OBJECT
    Q_INTERFACES(AllocFix::ISharedProperties)
public:
    QVariant GetProperty(qint32 &processId, QString &name) override;
};

FIXEDASSETS_EXPORT void setSharedProperty(qint32 processId, const QString &name,
                                          const QVariant &value);
// Stores "PropsString" for the running process.
FIXEDASSETS_EXPORT void publishPropsString(const QString &props);
FIXEDASSETS_EXPORT void clearSharedProperties();

} // namespace FixedAssets
