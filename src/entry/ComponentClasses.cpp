#include "entry/ShowUpdate.h"
#include "entry/WaitCursor.h"
#include "host/ObjectRegistry.h"
#include "host/ProgIds.h"

namespace AllocFix {
namespace {

// The component's own creatable classes, registered when the library loads so that a host
// finds them by ProgID or class identifier like any other object.
void registerComponentClasses()
{
    ObjectRegistry &registry = ObjectRegistry::instance();
    registry.registerClass(
        ProgId::ShowUpdate, [] { return std::make_unique<ShowUpdate>(); }, ShowUpdate::ClassId);
    registry.registerClass(
        ProgId::WaitCursor, [] { return std::make_unique<WaitCursor>(); }, WaitCursor::ClassId);
}
Q_CONSTRUCTOR_FUNCTION(registerComponentClasses)

} // namespace
} // namespace AllocFix
