#include "allocation/ListViewUtilities.h"

#include "allocation/FieldValue.h"
#include "allocation/ReportList.h"
#include "host/DesktopServices.h"
#include "host/ObjectRegistry.h"
#include "host/ProgIds.h"
#include "host/Twips.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QTreeWidget>

#include <cmath>

using namespace Qt::StringLiterals;

namespace AllocFix {

namespace {

const QString SettingsApplication = u"FA"_s;
// Wider than any screen; a stored width beyond it is a damaged entry.
constexpr double WidestColumnTwips = 1'000'000;

QString widthEntry(int column)
{
    return u"lvColWidth"_s + QString::number(column + 1);
}

// Null when the host has no settings store: the widths then stay as they are.
ServiceObject<ISettingsStore> settingsStore()
{
    try {
        return createService<ISettingsStore>(ProgId::SettingsStore);
    } catch (...) {
        return {};
    }
}

} // namespace

void SelectItemByTag(QTreeWidget *list, qint32 number)
{
    for (int index = 0; index < list->topLevelItemCount(); ++index) {
        QTreeWidgetItem *row = list->topLevelItem(index);
        if (numberOrZero(rowTag(row)) == number) {
            list->setCurrentItem(row);
            return;
        }
    }
}

bool IsShiftDown()
{
    return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ShiftModifier);
}

void RestoreColumnWidths(QTreeWidget *list, const QString &section)
{
    const ServiceObject<ISettingsStore> store = settingsStore();
    if (!store)
        return;
    QHeaderView *header = list->header();
    for (int column = 0; column < header->count(); ++column) {
        try {
            const float current = static_cast<float>(toTwips(header->sectionSize(column)));
            const double stored = FieldValue::fromVariant(store->read(SettingsApplication, section,
                                                                      widthEntry(column), current))
                                      .toDouble();
            if (std::isfinite(stored) && stored >= 0 && stored <= WidestColumnTwips)
                header->resizeSection(column, twips(static_cast<int>(std::lround(stored))));
        } catch (...) {
            // This column keeps its width; the next one is tried.
        }
    }
}

void SaveColumnWidths(QTreeWidget *list, const QString &section)
{
    const ServiceObject<ISettingsStore> store = settingsStore();
    if (!store)
        return;
    QHeaderView *header = list->header();
    for (int column = 0; column < header->count(); ++column) {
        try {
            const float width = static_cast<float>(toTwips(header->sectionSize(column)));
            store->write(SettingsApplication, section, widthEntry(column), width);
        } catch (...) {
            // The stored width of this column stays as it was.
        }
    }
}

} // namespace AllocFix
