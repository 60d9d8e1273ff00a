#pragma once

#include "allocfix_export.h"

#include <QString>
#include <QStringList>

class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

// Report-style list views: rows of text with sub-items in columns, whole-row selection, one
// selected row at a time. Each row carries a tag text, usually the position of the record it
// shows, so the record is found again whatever the row's place in the view.
namespace AllocFix {

ALLOCFIX_PRIVATE_EXPORT QTreeWidget *createReportList(QWidget *parent, const QString &objectName,
                                                      const QStringList &columnHeaders);

ALLOCFIX_PRIVATE_EXPORT QString rowTag(const QTreeWidgetItem *row);
ALLOCFIX_PRIVATE_EXPORT void setRowTag(QTreeWidgetItem *row, const QString &tag);

} // namespace AllocFix
