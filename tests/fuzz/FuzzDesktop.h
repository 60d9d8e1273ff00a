#pragma once

#include "host/DesktopServices.h"
#include "host/ErrorRecord.h"

#include <QObject>
#include <QString>
#include <QVariant>

// The host's shared properties and resource loader as the harnesses need them: they answer what
// the current input says, registered once for the life of the fuzzer.
namespace AllocFix::Fuzzing {

struct DesktopScript {
    QString propsString;
    enum class Loader { Echo, Fails, Mangles } loader = Loader::Echo;
};

// What the fakes answer for the input under test.
DesktopScript &script();

class ScriptedSharedProperties final : public QObject, public ISharedProperties {
    Q_OBJECT
    Q_INTERFACES(AllocFix::ISharedProperties)
public:
    QVariant GetProperty(qint32 &processId, QString &name) override;
};

class ScriptedResourceLoader final : public QObject, public IResourceLoader {
    Q_OBJECT
    Q_INTERFACES(AllocFix::IResourceLoader)
public:
    void setResFileBaseName(const QString &) override {}
    void setLanguageID(const QString &) override {}
    QString LoadString(QString &key) override;
    QString LoadString2(QString &key) override { return LoadString(key); }
};

// Registers the two fakes under their ProgIDs; later calls do nothing.
void registerScriptedDesktop();

} // namespace AllocFix::Fuzzing
