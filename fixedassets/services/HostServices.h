#pragma once

#include "fixedassets_export.h"
#include "host/ObjectRegistry.h"

#include <QString>

#include <memory>

// The host system's one entry point for programs and tests: registers every outside object the
// component creates that needs no window (card, item and account services, shared properties,
// resource loader, language information, form fonts, settings store) in AllocFix::ObjectRegistry,
// replacing what was registered under the same ProgIDs. The objects that show dialogs or message
// boxes (lookups, card viewer, help, error reporter) are registered by registerHostDialogs()
// (dialogs/DialogRegistration.h). A run on a real account set:
//
//     const QString location = FixedAssets::createDemoAccountSet(u"sqlite:/tmp/set.fa"_s, 12);
//     FixedAssets::registerHostServices();
//     FixedAssets::registerHostDialogs();
//     FixedAssets::publishPropsString(u"Language=CHS;AcctSet="_s + location + u';');
//     AllocFix::ShowUpdate().ShowExportFrm();
//
// (createDemoAccountSet: accountset/DemoData.h; publishPropsString: desktop/SharedProperties.h)
namespace FixedAssets {

FIXEDASSETS_EXPORT void registerHostServices();

// Registers Service, made anew for each request, under progId.
template<class Service>
void registerService(const QString &progId)
{
    AllocFix::ObjectRegistry::instance().registerClass(
        progId, []() -> std::unique_ptr<QObject> { return std::make_unique<Service>(); });
}

} // namespace FixedAssets
