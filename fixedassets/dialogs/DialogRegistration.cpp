#include "dialogs/DialogRegistration.h"

#include "dialogs/CardViewerService.h"
#include "dialogs/ErrorReporterService.h"
#include "dialogs/HelpTool.h"
#include "dialogs/LookupService.h"
#include "host/ProgIds.h"
#include "services/HostServices.h"

namespace FixedAssets {

void registerHostDialogs()
{
    namespace ProgId = AllocFix::ProgId;
    registerService<CardViewerService>(ProgId::CardShow);
    registerService<LookupService>(ProgId::GLView);
    registerService<HelpTool>(ProgId::HelpTool);
    registerService<ErrorReporterService>(ProgId::ErrorReporter);
}

} // namespace FixedAssets
