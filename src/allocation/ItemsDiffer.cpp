#include "allocation/ItemsDiffer.h"

#include "records/FieldRecord.h"
#include "records/RecordFields.h"

#include <QHash>
#include <QList>

namespace AllocFix {

namespace {

// Class ID to item ID, keeping the order in which each class first appears.
struct ItemsByClass {
    QList<double> classes;
    QHash<double, double> items;

    explicit ItemsByClass(const RecordList &list)
    {
        for (qsizetype position = 1; position <= list.count(); ++position) {
            const FieldRecord item = list.at(position);
            const double classId = item.value(Fields::FItemClassID).toDouble();
            if (!items.contains(classId))
                classes.append(classId);
            items.insert(classId, item.value(Fields::FItemID).toDouble());
        }
    }
};

} // namespace

bool ItemsDiffer(const RecordList &x, const RecordList &y)
{
    if (!x && !y)
        return false;
    if (!x || !y)
        return true;
    if (x.count() != y.count())
        return true;
    const ItemsByClass fromX(x);
    const ItemsByClass fromY(y);
    for (const double classId : fromX.classes) {
        if (fromY.items.value(classId, 0.0) != fromX.items.value(classId))
            return true;
    }
    return false;
}

} // namespace AllocFix
