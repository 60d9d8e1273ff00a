#include "forms/Captions.h"

#include "host/MMTS.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QTreeWidget>

namespace AllocFix {

QString captionOf(const QWidget *control)
{
    if (const auto *button = qobject_cast<const QAbstractButton *>(control))
        return button->text();
    if (const auto *label = qobject_cast<const QLabel *>(control))
        return label->text();
    if (const auto *group = qobject_cast<const QGroupBox *>(control))
        return group->title();
    return control->windowTitle();
}

void setCaption(QWidget *control, const QString &caption)
{
    if (auto *button = qobject_cast<QAbstractButton *>(control))
        button->setText(caption);
    else if (auto *label = qobject_cast<QLabel *>(control))
        label->setText(caption);
    else if (auto *group = qobject_cast<QGroupBox *>(control))
        group->setTitle(caption);
    else
        control->setWindowTitle(caption);
}

void localiseCaption(QWidget *control)
{
    try {
        setCaption(control, MMTS::LoadLangString(captionOf(control)));
    } catch (...) {
        // The control keeps its design caption.
    }
}

void localiseColumnHeaders(QTreeWidget *list)
{
    QTreeWidgetItem *header = list->headerItem();
    for (int column = 0; column < list->columnCount(); ++column) {
        try {
            header->setText(column, MMTS::LoadLangString2(header->text(column)));
        } catch (...) {
            // The header keeps its design text.
        }
    }
}

} // namespace AllocFix
