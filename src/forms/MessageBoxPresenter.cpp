// The production side of the message seam declared in host/MessageBox.h: a QMessageBox, and the
// active window as the parent of a box whose caller has none.
#include "host/MessageBox.h"

#include <QApplication>
#include <QMessageBox>

namespace AllocFix {

namespace {

class QtMessagePresenter final : public MessagePresenter {
public:
    MessageAnswer present(const MessageRequest &request) override
    {
        QMessageBox box(request.parent);
        box.setText(request.text);
        box.setWindowTitle(request.title.isEmpty() ? QApplication::applicationDisplayName()
                                                   : request.title);
        switch (request.icon) {
        case MessageIcon::None:
            box.setIcon(QMessageBox::NoIcon);
            break;
        case MessageIcon::Information:
            box.setIcon(QMessageBox::Information);
            break;
        case MessageIcon::Question:
            box.setIcon(QMessageBox::Question);
            break;
        }
        if (request.buttons == MessageButtons::YesNoCancel) {
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            box.setDefaultButton(QMessageBox::Yes);
            box.setEscapeButton(QMessageBox::Cancel);
        } else if (request.buttons == MessageButtons::YesNo) {
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setDefaultButton(QMessageBox::Yes);
            box.setEscapeButton(QMessageBox::No);
        } else {
            box.setStandardButtons(QMessageBox::Ok);
        }
        switch (box.exec()) {
        case QMessageBox::Yes:
            return MessageAnswer::Yes;
        case QMessageBox::No:
            return MessageAnswer::No;
        case QMessageBox::Cancel:
            return MessageAnswer::Cancel;
        default:
            return MessageAnswer::Ok;
        }
    }
};

} // namespace

MessagePresenter &productionMessagePresenter()
{
    static QtMessagePresenter presenter;
    return presenter;
}

QWidget *activeWindow()
{
    return QApplication::activeWindow();
}

} // namespace AllocFix
