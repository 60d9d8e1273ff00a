#include "services/HostServices.h"

#include "desktop/FormFontLoader.h"
#include "desktop/LanguageInfo.h"
#include "desktop/ResourceLoader.h"
#include "desktop/SettingsStore.h"
#include "desktop/SharedProperties.h"
#include "host/ProgIds.h"
#include "services/AccountDataService.h"
#include "services/CardInfoService.h"
#include "services/CardUpdateService.h"
#include "services/ItemInfoService.h"

namespace FixedAssets {

void registerHostServices()
{
    namespace ProgId = AllocFix::ProgId;
    registerService<CardInfoService>(ProgId::CardInfo);
    registerService<CardUpdateService>(ProgId::CardUpdate);
    registerService<ItemInfoService>(ProgId::ItemInfo);
    registerService<AccountDataService>(ProgId::GLData);
    registerService<ResourceLoader>(ProgId::ResourceLoader);
    registerService<LanguageInfo>(ProgId::LangInfo);
    registerService<FormFontLoader>(ProgId::FormFontLoader);
    registerService<SharedPropertiesService>(ProgId::ShareProps);
    registerService<SettingsStore>(ProgId::SettingsStore);
}

} // namespace FixedAssets
