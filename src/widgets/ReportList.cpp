#include "widgets/ReportList.h"

#include <QHeaderView>
#include <QTreeWidget>

namespace AllocFix {

namespace {
constexpr int TagRole = Qt::UserRole + 1;
}

QTreeWidget *createReportList(QWidget *parent, const QString &objectName,
                              const QStringList &columnHeaders)
{
    auto *list = new QTreeWidget(parent);
    list->setObjectName(objectName);
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setColumnCount(static_cast<int>(columnHeaders.size()));
    list->setHeaderLabels(columnHeaders);
    list->header()->setStretchLastSection(false);
    list->header()->setSectionsMovable(false);
    return list;
}

QString rowTag(const QTreeWidgetItem *row)
{
    return row->data(0, TagRole).toString();
}

void setRowTag(QTreeWidgetItem *row, const QString &tag)
{
    row->setData(0, TagRole, tag);
}

} // namespace AllocFix
