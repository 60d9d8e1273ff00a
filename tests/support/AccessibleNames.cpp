#include "support/AccessibleNames.h"

#include <QAccessible>
#include <QWidget>

using namespace Qt::StringLiterals;

namespace AllocFix::Testing {

namespace {

bool isControl(QAccessible::Role role)
{
    switch (role) {
    case QAccessible::Client:
    case QAccessible::Pane:
    case QAccessible::Border:
    case QAccessible::Graphic:
    case QAccessible::Grouping:
    case QAccessible::Separator:
    case QAccessible::ScrollBar:
    case QAccessible::Row:
    case QAccessible::Cell:
    case QAccessible::ListItem:
    case QAccessible::TreeItem:
        return false;
    default:
        return true;
    }
}

void collect(QAccessibleInterface *node, QStringList &nameless)
{
    for (int index = 0; index < node->childCount(); ++index) {
        QAccessibleInterface *child = node->child(index);
        if (!child)
            continue;
        if (isControl(child->role()) && !child->state().disabled &&
            child->text(QAccessible::Name).trimmed().isEmpty()) {
            nameless.append(
                u"%1 (%2)"_s.arg(child->object() ? child->object()->objectName() : u"?"_s)
                    .arg(int(child->role()), 0, 16));
        }
        collect(child, nameless);
    }
}

} // namespace

QStringList namelessControls(QWidget *form)
{
    QStringList nameless;
    collect(QAccessible::queryAccessibleInterface(form), nameless);
    return nameless;
}

} // namespace AllocFix::Testing
