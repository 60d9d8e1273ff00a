#include "widgets/ItemGridRows.h"

#include "contracts/AccountServices.h"
#include "host/ByName.h"
#include "host/ObjectRegistry.h"
#include "host/sysObjecs.h"
#include "records/FieldRecord.h"
#include "records/RecordFields.h"
#include "widgets/ItemGrid.h"

using namespace Qt::StringLiterals;

namespace AllocFix {

namespace {

const QString NoItemText = u"..."_s;

// The first of the previous items that belongs to the class; none when there is none.
FieldRecord previousItem(const RecordList &previous, const FieldValue &classId)
{
    if (!previous)
        return {};
    const QString wanted = classId.toText();
    for (qsizetype position = 1; position <= previous.count(); ++position) {
        const FieldRecord item = previous.at(position);
        if (item.value(Fields::FItemClassID).toText() == wanted)
            return item;
    }
    return {};
}

qint32 cellNumber(const ItemGrid *grid, int row, int column)
{
    return FieldValue::fromVariant(grid->cellData(row, column)).toInt();
}

} // namespace

void FillItemGrid(ItemGrid *grid, qint32 accountId, const RecordList &previous)
{
    QObject *glData = sysObjecs::GetGLData();
    QVariantList args{accountId};
    if (!ByName::callForObject(glData, u"GetAccount"_s, args)) {
        grid->setEnabled(false);
        return;
    }
    auto *accounts = qobject_cast<IAccountData *>(glData);
    if (!accounts)
        raiseMissingContract(glData, qobject_interface_iid<IAccountData *>());
    const std::unique_ptr<IRecordSet> classes = accounts->GetAccountItem(accountId);
    grid->setRows(grid->headerRows() + classes->RecordCount());

    int row = grid->headerRows() + 1;
    if (classes->RecordCount() > 0)
        classes->MoveFirst();
    for (; row <= grid->rows() && !classes->EndOfSet(); classes->MoveNext(), ++row) {
        const FieldValue classId = classes->Field(Fields::FItemClassID);
        grid->setCellText(row, ItemGrid::ClassColumn,
                          classes->Field(Fields::FItemClassName).toText());
        grid->setCellData(row, ItemGrid::ClassColumn, classId.toVariant());
        const FieldRecord item = previousItem(previous, classId);
        if (item) {
            grid->setCellText(row, ItemGrid::ItemColumn, item.value(Fields::FItemName).toText());
            grid->setCellData(row, ItemGrid::ItemColumn, item.value(Fields::FItemID).toVariant());
        } else {
            grid->setCellText(row, ItemGrid::ItemColumn, NoItemText);
            grid->setCellData(row, ItemGrid::ItemColumn, qint32(0));
        }
    }
}

RecordList ReadItemGrid(const ItemGrid *grid)
{
    RecordList items = RecordList::create();
    for (int row = grid->headerRows() + 1; row <= grid->rows(); ++row) {
        FieldRecord item = FieldRecord::create();
        item.setValue(Fields::FItemClassID, cellNumber(grid, row, ItemGrid::ClassColumn));
        item.setValue(Fields::FItemClassName, grid->cellText(row, ItemGrid::ClassColumn));
        item.setValue(Fields::FItemID, cellNumber(grid, row, ItemGrid::ItemColumn));
        item.setValue(Fields::FItemName, grid->cellText(row, ItemGrid::ItemColumn));
        items.append(item);
    }
    return items;
}

} // namespace AllocFix
