#include "widgets/ControlTag.h"

#include <QVariant>
#include <QWidget>

namespace AllocFix {

namespace {
constexpr char TagProperty[] = "Tag";
}

QString controlTag(const QWidget *control)
{
    return control->property(TagProperty).toString();
}

void setControlTag(QWidget *control, const QString &tag)
{
    control->setProperty(TagProperty, tag);
}

} // namespace AllocFix
