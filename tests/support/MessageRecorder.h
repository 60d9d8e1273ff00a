#pragma once

#include "host/MessageBox.h"

#include <QList>

#include <functional>

namespace AllocFix::Testing {

// Captures every message box while it lives and answers from a script; once the script is used
// up it answers OK (for OK boxes), No (for yes-or-no questions) or Cancel (for the others).
class MessageRecorder final : public MessagePresenter {
public:
    MessageRecorder();
    ~MessageRecorder() override;
    MessageRecorder(const MessageRecorder &) = delete;
    MessageRecorder &operator=(const MessageRecorder &) = delete;

    MessageAnswer present(const MessageRequest &request) override;

    void answerNext(MessageAnswer answer) { m_script.append(answer); }
    const QList<MessageRequest> &messages() const { return m_messages; }
    QStringList texts() const;
    void clear() { m_messages.clear(); }

    // Runs at each message before it is answered, to look at the state the message meets.
    std::function<void(const MessageRequest &)> whenPresented;

private:
    QList<MessageRequest> m_messages;
    QList<MessageAnswer> m_script;
};

} // namespace AllocFix::Testing
