#include "forms/FormSize.h"

#include "forms/Twips.h"
#include "host/DesktopServices.h"
#include "host/ObjectRegistry.h"
#include "host/ProgIds.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace AllocFix {

namespace {

const QString WidthEntry = u"FormWidth"_s;
const QString HeightEntry = u"FormHeight"_s;
// Larger than any screen; a stored size beyond it is a damaged entry.
constexpr double LargestTwips = 1'000'000;

int storedPixels(ISettingsStore &store, const QString &section, const QString &entry, int fallback)
{
    bool ok = false;
    const double stored =
        store.read(SettingsApplication.toString(), section, entry, QVariant()).toDouble(&ok);
    if (!ok || !std::isfinite(stored) || stored < 0 || stored > LargestTwips)
        return fallback;
    return twips(static_cast<int>(std::lround(stored)));
}

// A host without a settings store keeps no sizes; asking for one would only make an error.
bool hasStore()
{
    return ObjectRegistry::instance().isRegistered(ProgId::SettingsStore);
}

} // namespace

QSize RestoreFormSize(const QString &section, QSize minimum)
{
    if (!hasStore())
        return minimum;
    try {
        const auto store = createService<ISettingsStore>(ProgId::SettingsStore);
        const QSize stored(storedPixels(*store, section, WidthEntry, minimum.width()),
                           storedPixels(*store, section, HeightEntry, minimum.height()));
        return stored.expandedTo(minimum);
    } catch (...) {
        // No settings store, or one that cannot be read: the form opens at its design size.
        return minimum;
    }
}

void SaveFormSize(const QString &section, QSize size)
{
    if (!hasStore())
        return;
    try {
        const auto store = createService<ISettingsStore>(ProgId::SettingsStore);
        store->write(SettingsApplication.toString(), section, WidthEntry,
                     static_cast<float>(toTwips(size.width())));
        store->write(SettingsApplication.toString(), section, HeightEntry,
                     static_cast<float>(toTwips(size.height())));
    } catch (...) {
        // The size is not kept; the next showing opens at the design size or the one kept before.
    }
}

} // namespace AllocFix
