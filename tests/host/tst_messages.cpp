#include "entry/ComponentUnload.h"
#include "host/MessageBox.h"
#include "support/FakeDesktop.h"
#include "support/MessageRecorder.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using namespace AllocFix;
using namespace AllocFix::Testing;

class tst_Messages : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { unloadComponent(); }

    void shapes_data();
    void shapes();
    void questionsAreAnsweredAsScripted();
};

void tst_Messages::shapes_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<bool>("commandFailure");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("icon");
    QTest::addColumn<QString>("title");

    QTest::newRow("input fault") << u"CHS"_s << false << u"请选择部门！"_s
                                 << int(MessageIcon::Information) << u"岚岫提示"_s;
    QTest::newRow("input fault, English") << u"ENG"_s << false << u"请选择部门！"_s
                                          << int(MessageIcon::Information) << u"<岚岫提示>"_s;
    QTest::newRow("command failure")
        << u"CHS"_s << true << u"错误原因:disk full"_s << int(MessageIcon::None) << QString();
    QTest::newRow("command failure, English")
        << u"ENG"_s << true << u"<错误原因:>disk full"_s << int(MessageIcon::None) << QString();
}

void tst_Messages::shapes()
{
    QFETCH(QString, language);
    QFETCH(bool, commandFailure);
    QFETCH(QString, text);
    QFETCH(int, icon);
    QFETCH(QString, title);
    FakeDesktop desktop;
    desktop.propsString = u"Language=%1;"_s.arg(language);
    MessageRecorder recorder;

    if (commandFailure)
        showCommandFailure(u"disk full"_s);
    else
        showInputFault(u"请选择部门！"_s);

    QCOMPARE(recorder.messages().size(), 1);
    const MessageRequest &message = recorder.messages().first();
    QCOMPARE(message.text, text);
    QCOMPARE(int(message.icon), icon);
    QCOMPARE(message.title, title);
    QCOMPARE(message.buttons, MessageButtons::Ok);
}

void tst_Messages::questionsAreAnsweredAsScripted()
{
    MessageRecorder recorder;
    recorder.answerNext(MessageAnswer::Yes);
    const MessageRequest question{u"数据已变化，是否保存？"_s, MessageButtons::YesNoCancel,
                                  MessageIcon::Question, u"岚岫提示"_s, nullptr};
    QCOMPARE(showMessage(question), MessageAnswer::Yes);
    QCOMPARE(showMessage(question), MessageAnswer::Cancel);
    QCOMPARE(recorder.texts(), QStringList(2, question.text));
}

QTEST_MAIN(tst_Messages)
#include "tst_messages.moc"
