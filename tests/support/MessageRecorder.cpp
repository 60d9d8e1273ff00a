#include "support/MessageRecorder.h"

#include <QStringList>

namespace AllocFix::Testing {

MessageRecorder::MessageRecorder()
{
    setMessagePresenter(this);
}

MessageRecorder::~MessageRecorder()
{
    setMessagePresenter(nullptr);
}

MessageAnswer MessageRecorder::present(const MessageRequest &request)
{
    m_messages.append(request);
    if (whenPresented)
        whenPresented(request);
    if (!m_script.isEmpty())
        return m_script.takeFirst();
    switch (request.buttons) {
    case MessageButtons::Ok:
        return MessageAnswer::Ok;
    case MessageButtons::YesNo:
        return MessageAnswer::No;
    default:
        return MessageAnswer::Cancel;
    }
}

QStringList MessageRecorder::texts() const
{
    QStringList result;
    for (const MessageRequest &message : m_messages)
        result.append(message.text);
    return result;
}

} // namespace AllocFix::Testing
