#include "services/HostServices.h"

#include "desktop/FormFontLoader.h"
#include "desktop/HelpTool.h"
#include "desktop/LanguageInfo.h"
#include "desktop/ResourceLoader.h"
#include "desktop/SettingsStore.h"
#include "desktop/SharedProperties.h"
#include "host/ObjectRegistry.h"
#include "host/ProgIds.h"
#include "services/AccountDataService.h"
#include "services/CardInfoService.h"
#include "services/CardUpdateService.h"
#include "services/CardViewerService.h"
#include "services/ErrorReporterService.h"
#include "services/ItemInfoService.h"
#include "services/LookupService.h"

namespace FixedAssets {

namespace {
template<class Service>
void registerService(const QString &progId)
{
    AllocFix::ObjectRegistry::instance().registerClass(
        progId, []() -> std::unique_ptr<QObject> { return std::make_unique<Service>(); });
}
} // namespace

void registerHostServices()
{
    namespace ProgId = AllocFix::ProgId;
    registerService<CardInfoService>(ProgId::CardInfo);
    registerService<CardUpdateService>(ProgId::CardUpdate);
    registerService<CardViewerService>(ProgId::CardShow);
    registerService<ItemInfoService>(ProgId::ItemInfo);
    registerService<AccountDataService>(ProgId::GLData);
    registerService<LookupService>(ProgId::GLView);
    registerService<ErrorReporterService>(ProgId::ErrorReporter);
    registerService<ResourceLoader>(ProgId::ResourceLoader);
    registerService<LanguageInfo>(ProgId::LangInfo);
    registerService<FormFontLoader>(ProgId::FormFontLoader);
    registerService<SharedPropertiesService>(ProgId::ShareProps);
    registerService<HelpTool>(ProgId::HelpTool);
    registerService<SettingsStore>(ProgId::SettingsStore);
}

} // namespace FixedAssets
