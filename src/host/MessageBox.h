#pragma once

#include "allocfix_export.h"

#include <QString>

class QWidget;

// The one seam through which the component shows message boxes. Production shows a
// QMessageBox; tests install a presenter that records the request and answers as scripted.
namespace AllocFix {

enum class MessageButtons { Ok, YesNo, YesNoCancel };
enum class MessageIcon { None, Information, Question };
enum class MessageAnswer { Ok, Yes, No, Cancel };

struct MessageRequest {
    QString text;
    MessageButtons buttons = MessageButtons::Ok;
    MessageIcon icon = MessageIcon::None;
    // Empty: the box has no title of its own and shows the application's name.
    QString title;
    QWidget *parent = nullptr;
};

class MessagePresenter {
public:
    virtual ~MessagePresenter() = default;
    virtual MessageAnswer present(const MessageRequest &request) = 0;
};

ALLOCFIX_PRIVATE_EXPORT MessageAnswer showMessage(const MessageRequest &request);

// The parent for a box whose caller has no window of its own: the application's active window,
// or nullptr. Code that builds without Qt Widgets asks here; the forms kit answers.
ALLOCFIX_PRIVATE_EXPORT QWidget *activeWindow();

// The presenter used while none is installed: a QMessageBox, defined by the forms kit
// (forms/MessageBoxPresenter.cpp), so that this seam builds without Qt Widgets.
MessagePresenter &productionMessagePresenter();

// Installs the presenter for every later message; nullptr restores the production presenter.
// The caller keeps ownership.
void setMessagePresenter(MessagePresenter *presenter);

// The two shapes the component uses most.
// An input fault: OK, information icon, the localised title "岚岫提示".
void showInputFault(const QString &localisedText, QWidget *parent = nullptr);
// A failed command: "错误原因:" and the error's description, OK only, no icon, no own title.
void showCommandFailure(const QString &description, QWidget *parent = nullptr);

} // namespace AllocFix
