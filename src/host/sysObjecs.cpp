#include "host/sysObjecs.h"

#include "host/ObjectRegistry.h"
#include "host/ProgIds.h"

namespace AllocFix::sysObjecs {

namespace {

struct ModuleState {
    std::unique_ptr<QObject> glData;
    std::unique_ptr<QObject> glView;
};

ModuleState &state()
{
    static ModuleState moduleState;
    return moduleState;
}

QObject *cached(std::unique_ptr<QObject> &slot, const QString &progId)
{
    if (!slot)
        slot = ObjectRegistry::instance().create(progId);
    return slot.get();
}

} // namespace

QObject *GetGLData()
{
    return cached(state().glData, ProgId::GLData);
}

QObject *GetGLView()
{
    return cached(state().glView, ProgId::GLView);
}

void resetModuleState()
{
    state() = ModuleState{};
}

} // namespace AllocFix::sysObjecs
