#pragma once

#include <QList>
#include <QString>

class QDialog;
class QLayout;
class QPushButton;
class QWidget;

// How the host's own dialogs are put together: the content above, the buttons below on the
// right, the form font of the host's language.
namespace FixedAssets::HostDialog {

// A button with the localised caption that never acts as the default button (Enter has its own
// meaning in the lookups).
QPushButton *addButton(QDialog *dialog, const QString &objectName, const QString &caption);

// Lays out content and buttons and applies the form font; a dialog without it stays usable with
// the application's font. A content widget without an accessible name takes the dialog's title:
// set the title first.
void finish(QDialog *dialog, QLayout *content, const QList<QPushButton *> &buttons);
void finish(QDialog *dialog, QWidget *content, const QList<QPushButton *> &buttons);

// What a host dialog opens over: the modal dialog the user is in, else the active window.
QWidget *owner();

} // namespace FixedAssets::HostDialog
