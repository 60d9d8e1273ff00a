#pragma once

#include <QString>
#include <QStringList>

class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

// Report-style list views: rows of text with sub-items in columns, whole-row selection, one
// selected row at a time. Each row carries a tag text, usually the position of the record it
// shows, so the record is found again whatever the row's place in the view.
namespace AllocFix {

QTreeWidget *createReportList(QWidget *parent, const QString &objectName,
                              const QStringList &columnHeaders);

QString rowTag(const QTreeWidgetItem *row);
void setRowTag(QTreeWidgetItem *row, const QString &tag);

} // namespace AllocFix
