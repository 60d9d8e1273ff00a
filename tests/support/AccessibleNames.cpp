#include "support/AccessibleNames.h"

#include <QAccessible>
#include <QWidget>

using namespace Qt::StringLiterals;

namespace AllocFix::Testing {

namespace {

bool isControl(QAccessible::Role role)
{
    using R = QAccessible::Role;
    static const QList<R> holders{R::Client,   R::Pane,      R::Border,    R::Graphic,
                                  R::Grouping, R::Separator, R::ScrollBar, R::Row,
                                  R::Cell,     R::ListItem,  R::TreeItem};
    return !holders.contains(role);
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
