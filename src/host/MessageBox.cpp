#include "host/MessageBox.h"

#include "host/MMTS.h"

#include <QApplication>
#include <QMessageBox>

using namespace Qt::StringLiterals;

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

MessagePresenter *&installedPresenter()
{
    static MessagePresenter *presenter = nullptr;
    return presenter;
}

} // namespace

MessageAnswer showMessage(const MessageRequest &request)
{
    if (MessagePresenter *presenter = installedPresenter())
        return presenter->present(request);
    QtMessagePresenter production;
    return production.present(request);
}

QWidget *activeWindow()
{
    return QApplication::activeWindow();
}

void setMessagePresenter(MessagePresenter *presenter)
{
    installedPresenter() = presenter;
}

void showInputFault(const QString &localisedText, QWidget *parent)
{
    showMessage({localisedText, MessageButtons::Ok, MessageIcon::Information,
                 MMTS::LoadLangString(u"岚岫提示"_s), parent});
}

void showCommandFailure(const QString &description, QWidget *parent)
{
    showMessage({MMTS::LoadLangString(u"错误原因:"_s) + description, MessageButtons::Ok,
                 MessageIcon::None, QString(), parent});
}

} // namespace AllocFix
