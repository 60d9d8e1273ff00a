#include "host/MessageBox.h"

#include "host/MMTS.h"

using namespace Qt::StringLiterals;

namespace AllocFix {

namespace {

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
    return productionMessagePresenter().present(request);
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
