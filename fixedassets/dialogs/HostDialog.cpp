#include "dialogs/HostDialog.h"

#include "host/MMTS.h"

#include <QApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace FixedAssets::HostDialog {

QPushButton *addButton(QDialog *dialog, const QString &objectName, const QString &caption)
{
    auto *button = new QPushButton(AllocFix::MMTS::LoadLangString(caption), dialog);
    button->setObjectName(objectName);
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

void finish(QDialog *dialog, QLayout *content, const QList<QPushButton *> &buttons)
{
    auto *buttonRow = new QHBoxLayout;
    buttonRow->addStretch(1);
    for (QPushButton *button : buttons)
        buttonRow->addWidget(button);
    auto *layout = new QVBoxLayout(dialog);
    layout->addLayout(content, 1);
    layout->addLayout(buttonRow);
    try {
        AllocFix::MMTS::ApplyFormFont(dialog);
    } catch (...) {
        // Usable with the application's font.
    }
}

void finish(QDialog *dialog, QWidget *content, const QList<QPushButton *> &buttons)
{
    // The one content of the dialog is what its title says.
    if (content->accessibleName().isEmpty())
        content->setAccessibleName(dialog->windowTitle());
    auto *contentLayout = new QVBoxLayout;
    contentLayout->setContentsMargins(0, 0, 0, 0);
    contentLayout->addWidget(content);
    finish(dialog, contentLayout, buttons);
}

QWidget *owner()
{
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

} // namespace FixedAssets::HostDialog
