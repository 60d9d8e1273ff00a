#include "accountset/AccountSet.h"
#include "accountset/DemoData.h"
#include "contracts/CardServices.h"
#include "desktop/SharedProperties.h"
#include "dialogs/CardViewerService.h"
#include "dialogs/DialogRegistration.h"
#include "dialogs/ErrorReporterService.h"
#include "dialogs/HelpTool.h"
#include "entry/ComponentUnload.h"
#include "host/ByName.h"
#include "host/MMTS.h"
#include "host/ObjectRegistry.h"
#include "host/ProgIds.h"
#include "host/sysObjecs.h"
#include "services/HostServices.h"
#include "support/AccessibleNames.h"
#include "support/MessageRecorder.h"
#include "support/ModalDriver.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QtTest>

#include <functional>

using namespace Qt::StringLiterals;
using namespace AllocFix;
using namespace FixedAssets;
using AllocFix::Testing::MessageRecorder;
using AllocFix::Testing::whenModalShown;

namespace {

QTreeWidget *lookupList(QWidget *dialog)
{
    return dialog->findChild<QTreeWidget *>(u"lvLookup"_s);
}

QLineEdit *filterBox(QWidget *dialog)
{
    return dialog->findChild<QLineEdit *>(u"txtFilter"_s);
}

QStringList shownNumbers(QWidget *dialog)
{
    QStringList numbers;
    QTreeWidget *list = lookupList(dialog);
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        if (!list->topLevelItem(i)->isHidden())
            numbers.append(list->topLevelItem(i)->text(0));
    }
    return numbers;
}

// Types text as key presses, Chinese included (QTest::keyClicks takes Latin-1 only).
void typeText(QWidget *widget, const QString &text)
{
    for (const QChar character : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(character),
                            Qt::NoModifier);
}

QString currentNumber(QWidget *dialog)
{
    const QTreeWidgetItem *current = lookupList(dialog)->currentItem();
    return current && current->isSelected() ? current->text(0) : QString();
}

// What a lookup answered, read by name as the editor reads it.
struct Answer {
    bool ok = false;
    int value = 0;
    QString number;
    bool detail = false;
    bool hasObject = false;
};

Answer answerOf(const std::unique_ptr<QObject> &result)
{
    Answer answer;
    answer.ok = ByName::property(result.get(), u"ReturnOK"_s).toBool();
    answer.value = ByName::property(result.get(), u"ReturnValue"_s).toInt();
    if (QObject *chosen = ByName::objectProperty(result.get(), u"ReturnObject"_s)) {
        answer.hasObject = true;
        answer.number = ByName::property(chosen, u"number"_s).toString();
        answer.detail = ByName::property(chosen, u"detail"_s).toBool();
    }
    return answer;
}

std::unique_ptr<QObject> accountLookup(const QVariant &key, std::function<void(QWidget *)> action)
{
    whenModalShown(std::move(action));
    QVariantList args{key};
    return ByName::callForObject(sysObjecs::GetGLView(), u"AccountLookup"_s, args);
}

std::unique_ptr<QObject> itemLookup(int classId, int itemId, std::function<void(QWidget *)> action)
{
    whenModalShown(std::move(action));
    QVariantList args{classId, itemId};
    return ByName::callForObject(sysObjecs::GetGLView(), u"ItemLookup"_s, args);
}

} // namespace

class tst_HostDialogs : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void accountLookupStartsAtTheCurrentAccount_data();
    void accountLookupStartsAtTheCurrentAccount();
    void typingFiltersTheList_data();
    void typingFiltersTheList();
    void arrowKeysMoveWhileTyping();
    void cancelAnswersNoChoice_data();
    void cancelAnswersNoChoice();
    void itemLookupMarksNonDetailItems();
    void cardViewerShowsTheDetailRecord();
    void cardViewerNeedsACard();
    void errorReporterNamesNumberAndSource();
    void helpFollowsTheLanguage_data();
    void helpFollowsTheLanguage();
    void everyControlHasAName_data();
    void everyControlHasAName();

private:
    QTemporaryDir m_folder;
    QString m_location;
};

void tst_HostDialogs::initTestCase()
{
    QVERIFY(m_folder.isValid());
    m_location = createDemoAccountSet(u"sqlite:"_s + m_folder.filePath(u"set.fa"_s), 5);
    registerHostServices();
    registerHostDialogs();
}

void tst_HostDialogs::init()
{
    publishPropsString(u"Language=CHS;AcctSet="_s + m_location + u';');
}

void tst_HostDialogs::cleanup()
{
    unloadComponent();
    clearSharedProperties();
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
}

void tst_HostDialogs::accountLookupStartsAtTheCurrentAccount_data()
{
    QTest::addColumn<QVariant>("key");
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("id");

    QTest::newRow("current account ID") << QVariant(530101) << u"5301.01"_s << 530101;
    QTest::newRow("typed number") << QVariant(u"6602.01"_s) << u"6602.01"_s << 660201;
    QTest::newRow("typed beginning") << QVariant(u"66"_s) << u"6601.01"_s << 660101;
    QTest::newRow("no account yet") << QVariant(0) << u"1602"_s << 1602;
    QTest::newRow("typed text that starts nothing") << QVariant(u"x"_s) << u"1602"_s << 1602;
}

void tst_HostDialogs::accountLookupStartsAtTheCurrentAccount()
{
    QFETCH(QVariant, key);
    QFETCH(QString, start);
    QFETCH(int, id);
    QString started;
    QStringList listed;
    const auto result = accountLookup(key, [&](QWidget *dialog) {
        started = currentNumber(dialog);
        listed = shownNumbers(dialog);
        QTest::keyClick(filterBox(dialog), Qt::Key_Return);
    });
    QCOMPARE(started, start);
    // Only detail accounts can be chosen.
    QCOMPARE(listed,
             (QStringList{u"1602"_s, u"5101.01"_s, u"5301.01"_s, u"6601.01"_s, u"6602.01"_s}));
    const Answer answer = answerOf(result);
    QVERIFY(answer.ok);
    QCOMPARE(answer.value, id);
    QCOMPARE(answer.number, start);
    QVERIFY(answer.detail);
}

void tst_HostDialogs::typingFiltersTheList_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QString>("chosen"); // empty: Enter chooses nothing

    QTest::newRow("part of a name")
        << u"折旧费"_s << QStringList{u"5101.01"_s, u"5301.01"_s, u"6601.01"_s, u"6602.01"_s}
        << u"5101.01"_s;
    QTest::newRow("one match") << u"管理"_s << QStringList{u"6602.01"_s} << u"6602.01"_s;
    QTest::newRow("part of a number")
        << u"01.01"_s << QStringList{u"5101.01"_s, u"5301.01"_s, u"6601.01"_s} << u"5101.01"_s;
    QTest::newRow("nothing matches") << u"zzz"_s << QStringList{} << QString();
}

void tst_HostDialogs::typingFiltersTheList()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, shown);
    QFETCH(QString, chosen);
    QStringList listed;
    bool stayedOpen = false;
    const auto result = accountLookup(0, [&](QWidget *dialog) {
        typeText(filterBox(dialog), typed);
        listed = shownNumbers(dialog);
        QTest::keyClick(filterBox(dialog), Qt::Key_Return);
        stayedOpen = dialog->isVisible();
        if (stayedOpen)
            QTest::mouseClick(dialog->findChild<QPushButton *>(u"cmdCancel"_s), Qt::LeftButton);
    });
    QCOMPARE(listed, shown);
    QCOMPARE(stayedOpen, chosen.isEmpty());
    const Answer answer = answerOf(result);
    QCOMPARE(answer.ok, !chosen.isEmpty());
    QCOMPARE(answer.number, chosen);
}

void tst_HostDialogs::arrowKeysMoveWhileTyping()
{
    QStringList seen;
    const auto result = accountLookup(0, [&](QWidget *dialog) {
        QLineEdit *filter = filterBox(dialog);
        QTest::keyClick(filter, Qt::Key_Down);
        seen.append(currentNumber(dialog));
        QTest::keyClick(filter, Qt::Key_Down);
        QTest::keyClick(filter, Qt::Key_Up);
        seen.append(currentNumber(dialog));
        QTest::mouseClick(dialog->findChild<QPushButton *>(u"cmdOK"_s), Qt::LeftButton);
    });
    QCOMPARE(seen, (QStringList{u"5101.01"_s, u"5101.01"_s}));
    QCOMPARE(answerOf(result).number, u"5101.01"_s);
}

void tst_HostDialogs::cancelAnswersNoChoice_data()
{
    QTest::addColumn<bool>("escape");
    QTest::newRow("Esc") << true;
    QTest::newRow("cancel button") << false;
}

void tst_HostDialogs::cancelAnswersNoChoice()
{
    QFETCH(bool, escape);
    const auto result = accountLookup(660201, [escape](QWidget *dialog) {
        if (escape)
            QTest::keyClick(filterBox(dialog), Qt::Key_Escape);
        else
            QTest::mouseClick(dialog->findChild<QPushButton *>(u"cmdCancel"_s), Qt::LeftButton);
    });
    const Answer answer = answerOf(result);
    QVERIFY(!answer.ok);
    QCOMPARE(answer.value, 0);
    QVERIFY(!answer.hasObject);
}

void tst_HostDialogs::itemLookupMarksNonDetailItems()
{
    QString started;
    QString marks;
    const auto result = itemLookup(2, 212, [&](QWidget *dialog) {
        started = currentNumber(dialog);
        QTreeWidget *list = lookupList(dialog);
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            marks += list->topLevelItem(i)->text(2) == u"非明细" ? u'-' : u'+';
        typeText(filterBox(dialog), u"生产部门"_s);
        QTest::keyClick(filterBox(dialog), Qt::Key_Return);
    });
    QCOMPARE(started, u"02.02"_s);
    QCOMPARE(marks, u"-+++-+++-+++"_s);
    // A non-detail item can be chosen; the editor is the one that refuses it.
    const Answer answer = answerOf(result);
    QVERIFY(answer.ok);
    QCOMPARE(answer.value, 210);
    QVERIFY(!answer.detail);
}

void tst_HostDialogs::cardViewerShowsTheDetailRecord()
{
    const QString props = u"Language=CHS;AcctSet="_s + m_location + u';';
    qint32 cardId = 1001;
    const FieldRecord detail = createService<ICardInfo>(ProgId::CardInfo)->GetDetail(props, cardId);
    const auto viewer = createService<ICardViewer>(ProgId::CardShow);
    viewer->setViewJudge(true);
    viewer->setWantEditFromView(2);
    viewer->setDataView(detail);

    QHash<QString, QString> shown;
    whenModalShown([&shown](QWidget *dialog) {
        QTreeWidget *list = dialog->findChild<QTreeWidget *>(u"lvDetail"_s);
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            shown.insert(list->topLevelItem(i)->text(0), list->topLevelItem(i)->text(1));
        QTest::mouseClick(dialog->findChild<QPushButton *>(u"cmdClose"_s), Qt::LeftButton);
    });
    viewer->ShowCard();

    QCOMPARE(shown.size(), detail.count());
    QCOMPARE(shown.value(u"资产编码"_s), u"FA00001"_s);
    QCOMPARE(shown.value(u"资产名称"_s), u"办公楼"_s);
    QCOMPARE(shown.value(u"原值"_s), u"12,800,000.00"_s);
    QCOMPARE(shown.value(u"使用部门"_s), u"管理部 50%、财务部 50%"_s);
}

void tst_HostDialogs::cardViewerNeedsACard()
{
    CardViewerService viewer;
    QVERIFY_THROWS_EXCEPTION(Failure, viewer.ShowCard());
}

void tst_HostDialogs::errorReporterNamesNumberAndSource()
{
    MessageRecorder recorder;
    ErrorReporterService reporter;
    reporter.ReportError({ErrorNumber::ServiceBase + 1007,
                          u"Nothing was saved"_s,
                          u"FixedAssets.AccountSet"_s,
                          {},
                          0},
                         {});
    QCOMPARE(recorder.messages().size(), 1);
    const MessageRequest &message = recorder.messages().first();
    QVERIFY(message.text.startsWith(u"Nothing was saved"_s));
    QVERIFY(message.text.contains(QString::number(ErrorNumber::ServiceBase + 1007)));
    QVERIFY(message.text.contains(u"FixedAssets.AccountSet"_s));
    QCOMPARE(message.buttons, MessageButtons::Ok);
}

void tst_HostDialogs::helpFollowsTheLanguage_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("title");
    QTest::newRow("Chinese") << u"CHS"_s << u"账套卡片数据调整"_s;
    QTest::newRow("English") << u"ENG"_s << u"Card Data Adjustment"_s;
}

void tst_HostDialogs::helpFollowsTheLanguage()
{
    QFETCH(QString, language);
    QFETCH(QString, title);
    publishPropsString(u"Language="_s + language + u';');
    QString shownTitle;
    QString text;
    whenModalShown([&](QWidget *dialog) {
        shownTitle = dialog->windowTitle();
        text = dialog->findChild<QTextBrowser *>(u"txtHelp"_s)->toPlainText();
        QTest::mouseClick(dialog->findChild<QPushButton *>(u"cmdClose"_s), Qt::LeftButton);
    });
    QVERIFY(MMTS::HandleHelpKey(112, MMTS::HelpContextAdjustment, {}, 0, {}, 0));
    QCOMPARE(shownTitle, title);
    QVERIFY(text.contains(u"F7"_s));
}

using OpenDialog = std::function<void(const QString &location)>;
Q_DECLARE_METATYPE(OpenDialog)

void tst_HostDialogs::everyControlHasAName_data()
{
    QTest::addColumn<OpenDialog>("open");
    const auto lookup = [](const QString &member, QVariantList args) {
        return OpenDialog([member, args](const QString &) mutable {
            ByName::callForObject(sysObjecs::GetGLView(), member, args);
        });
    };
    QTest::newRow("account lookup") << lookup(u"AccountLookup"_s, {0});
    QTest::newRow("item lookup") << lookup(u"ItemLookup"_s, {2, 212});
    QTest::newRow("card viewer") << OpenDialog([](const QString &location) {
        qint32 cardId = 1001;
        const auto viewer = createService<ICardViewer>(ProgId::CardShow);
        viewer->setDataView(createService<ICardInfo>(ProgId::CardInfo)
                                ->GetDetail(u"Language=CHS;AcctSet="_s + location + u';', cardId));
        viewer->ShowCard();
    });
    QTest::newRow("error report") << OpenDialog([](const QString &) {
        ErrorReporterService().ReportError({ErrorNumber::ServiceBase + 1,
                                            u"Nothing was saved"_s,
                                            u"FixedAssets.AccountSet"_s,
                                            {},
                                            0},
                                           {});
    });
    QTest::newRow("help") << OpenDialog([](const QString &) {
        MMTS::HandleHelpKey(112, MMTS::HelpContextAdjustment, {}, 0, {}, 0);
    });
}

void tst_HostDialogs::everyControlHasAName()
{
    QFETCH(OpenDialog, open);
    QStringList nameless{u"not shown"_s};
    whenModalShown([&](QWidget *dialog) {
        nameless = AllocFix::Testing::namelessControls(dialog);
        dialog->close();
    });
    open(m_location);
    QVERIFY2(nameless.isEmpty(), qPrintable(nameless.join(u", "_s)));
}

QTEST_MAIN(tst_HostDialogs)
#include "tst_hostdialogs.moc"
