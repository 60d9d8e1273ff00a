#include "widgets/ListViewUtilities.h"

#include "forms/FormSize.h"
#include "forms/Twips.h"
#include "host/DesktopServices.h"
#include "host/ObjectRegistry.h"
#include "host/ProgIds.h"
#include "records/FieldValue.h"
#include "widgets/ReportList.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QTreeWidget>

#include <cmath>

using namespace Qt::StringLiterals;

namespace AllocFix {

namespace {

// Wider than any screen; a stored width beyond it is a damaged entry.
constexpr double WidestColumnTwips = 1'000'000;

QString widthEntry(int column)
{
    return u"lvColWidth"_s + QString::number(column + 1);
}

// Runs step(store, header, column) for each column; a step that fails is skipped. Without a
// settings store nothing is done.
template<class Step>
void forEachColumn(QTreeWidget *list, Step step)
{
    ServiceObject<ISettingsStore> store;
    try {
        store = createService<ISettingsStore>(ProgId::SettingsStore);
    } catch (...) {
        // No settings store: the columns keep their widths.
        return;
    }
    QHeaderView *header = list->header();
    for (int column = 0; column < header->count(); ++column) {
        try {
            step(*store, header, column);
        } catch (...) {
            // This column keeps its width; the next one is done.
        }
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
    forEachColumn(list, [&](ISettingsStore &store, QHeaderView *header, int column) {
        const float current = static_cast<float>(toTwips(header->sectionSize(column)));
        const double stored =
            FieldValue::fromVariant(
                store.read(SettingsApplication.toString(), section, widthEntry(column), current))
                .toDouble();
        if (std::isfinite(stored) && stored >= 0 && stored <= WidestColumnTwips)
            header->resizeSection(column, twips(static_cast<int>(std::lround(stored))));
    });
}

void SaveColumnWidths(QTreeWidget *list, const QString &section)
{
    forEachColumn(list, [&](ISettingsStore &store, const QHeaderView *header, int column) {
        const float width = static_cast<float>(toTwips(header->sectionSize(column)));
        store.write(SettingsApplication.toString(), section, widthEntry(column), width);
    });
}

} // namespace AllocFix
