#include "entry/ComponentUnload.h"
#include "forms/Hourglass.h"
#include "host/ByName.h"
#include "host/sysObjecs.h"
#include "support/FakeAccountLookups.h"
#include "support/FakeDesktop.h"
#include "support/MessageRecorder.h"
#include "widgets/CodeField.h"
#include "widgets/ControlTag.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace AllocFix;
using AllocFix::Testing::FakeAccountLookups;
using AllocFix::Testing::FakeDesktop;
using AllocFix::Testing::MessageRecorder;

namespace {

// A window with the code field and another control to hold the focus.
struct FieldWindow {
    QWidget window;
    QLineEdit *box = new QLineEdit(&window);
    QLabel *label = new QLabel(&window);
    QLineEdit *elsewhere = new QLineEdit(&window);

    FieldWindow()
    {
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(label);
        layout->addWidget(box);
        layout->addWidget(elsewhere);
    }
    CodeField field() const { return {box, label}; }
    // Shows the window active with the focus in the box or elsewhere.
    bool show(bool focusInBox)
    {
        window.show();
        window.activateWindow();
        if (!QTest::qWaitForWindowActive(&window))
            return false;
        (focusInBox ? box : elsewhere)->setFocus();
        return QApplication::focusWidget() == (focusInBox ? box : elsewhere);
    }
    QString state() const
    {
        return box->text() + u" | box " + controlTag(box) + u" | label " + controlTag(label);
    }
};

// Records the argument lists of the lookups it is asked; finds nothing.
class ShapeRecorder final : public QObject {
    Q_OBJECT
public:
    QStringList calls;

    Q_INVOKABLE QObject *GetItem() { return record({}); }
    Q_INVOKABLE QObject *GetItem(const QVariant &a) { return record({a}); }
    Q_INVOKABLE QObject *GetItem(const QVariant &a, const QVariant &b) { return record({a, b}); }
    Q_INVOKABLE QObject *GetItem(const QVariant &a, const QVariant &b, const QVariant &c)
    {
        return record({a, b, c});
    }
    Q_INVOKABLE QObject *GetAccount(const QVariant &a, const QVariant &b) { return record({a, b}); }

private:
    QObject *record(const QVariantList &args)
    {
        QStringList shown;
        for (const QVariant &arg : args)
            shown.append(isMissingArgument(arg) ? u"(omitted)"_s : arg.toString());
        calls.append(shown.join(u", "));
        return nullptr;
    }
};

} // namespace

class tst_CodeField : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup();

    void showAndRead_data();
    void showAndRead();
    void focusSwap_data();
    void focusSwap();

    void resolve_data();
    void resolve();
    void resolveArgumentShapes_data();
    void resolveArgumentShapes();

    void lookup_data();
    void lookup();
};

void tst_CodeField::cleanup()
{
    unloadComponent();
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
}

void tst_CodeField::showAndRead_data()
{
    QTest::addColumn<bool>("focused");
    QTest::addColumn<bool>("locked");
    QTest::addColumn<qint32>("id");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("readBack");

    QTest::newRow("focused shows the code")
        << true << false << 12 << u"5501 | box 12 | label 管理费用"_s << u"12 5501 管理费用"_s;
    QTest::newRow("unfocused shows the name")
        << false << false << 12 << u"管理费用 | box 12 | label 5501"_s << u"12 5501 管理费用"_s;
    QTest::newRow("focused but locked shows the name")
        << true << true << 12 << u"管理费用 | box 12 | label 5501"_s << u"12 5501 管理费用"_s;
    QTest::newRow("no account, focused")
        << true << false << 0 << u" | box 0 | label "_s << u"0  "_s;
    QTest::newRow("no account, unfocused")
        << false << false << -3 << u" | box 0 | label "_s << u"0  "_s;
}

void tst_CodeField::showAndRead()
{
    QFETCH(bool, focused);
    QFETCH(bool, locked);
    QFETCH(qint32, id);
    QFETCH(QString, shown);
    QFETCH(QString, readBack);
    FieldWindow w;
    QVERIFY(w.show(focused));
    w.box->setReadOnly(locked);
    setControlTag(w.label, u"stale"_s);

    ShowCodeField(w.field(), id, u"5501"_s, u"管理费用"_s);
    QCOMPARE(w.state(), shown);

    const CodeFieldValue value = ReadCodeField(w.field());
    QCOMPARE(QString::number(value.id) + u' ' + value.number + u' ' + value.name, readBack);
}

void tst_CodeField::focusSwap_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("locked");
    QTest::addColumn<QString>("afterGot");
    QTest::addColumn<QString>("afterLost");

    QTest::newRow("name and code swap")
        << u"管理费用"_s << false << u"5501 | box 12 | label 管理费用"_s
        << u"管理费用 | box 12 | label 5501"_s;
    QTest::newRow("typed text is trimmed")
        << u" 管理费用 "_s << false << u"5501 | box 12 | label 管理费用"_s
        << u"管理费用 | box 12 | label 5501"_s;
    QTest::newRow("locked stays") << u"管理费用"_s << true << u"管理费用 | box 12 | label 5501"_s
                                  << u"管理费用 | box 12 | label 5501"_s;
    QTest::newRow("blank stays") << u"  "_s << false << u"   | box 12 | label 5501"_s
                                 << u"   | box 12 | label 5501"_s;
}

void tst_CodeField::focusSwap()
{
    QFETCH(QString, text);
    QFETCH(bool, locked);
    QFETCH(QString, afterGot);
    QFETCH(QString, afterLost);
    FieldWindow w;
    w.box->setText(text);
    w.box->setReadOnly(locked);
    setControlTag(w.box, u"12"_s);
    setControlTag(w.label, u"5501"_s);

    CodeFieldGotFocus(w.field());
    QCOMPARE(w.state(), afterGot);
    if (!locked && !text.trimmed().isEmpty()) {
        QCOMPARE(w.box->selectedText(), u"5501"_s);
        QCOMPARE(w.box->toolTip(), u"管理费用"_s);
    }
    CodeFieldLostFocus(w.field());
    QCOMPARE(w.state(), afterLost);
}

void tst_CodeField::resolve_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("locked");
    QTest::addColumn<bool>("lookupFails");
    QTest::addColumn<bool>("keepFocus");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QVariantList>("asked");

    QTest::newRow("locked") << u"5501"_s << true << false << false << u"5501 | box 3 | label old"_s
                            << QString() << QVariantList{};
    QTest::newRow("blank") << u"  "_s << false << false << false << u"   | box  | label "_s
                           << QString() << QVariantList{};
    QTest::newRow("not found") << u"9999"_s << false << false << true
                               << u"9999 | box 3 | label old"_s << u"未找到编码对应的数据！"_s
                               << QVariantList{u"9999"_s};
    QTest::newRow("not a detail account")
        << u" 55 "_s << false << false << true << u" | box 3 | label old"_s
        << u"编码“ 55 ”不是最明细级的编码！"_s << QVariantList{u"55"_s};
    QTest::newRow("found") << u"5501 "_s << false << false << false
                           << u"5501  | box 12 | label 管理费用"_s << QString()
                           << QVariantList{u"5501"_s};
    QTest::newRow("lookup fails quietly")
        << u"5501"_s << false << true << false << u"5501 | box 3 | label old"_s << QString()
        << QVariantList{u"5501"_s};
}

void tst_CodeField::resolve()
{
    QFETCH(QString, typed);
    QFETCH(bool, locked);
    QFETCH(bool, lookupFails);
    QFETCH(bool, keepFocus);
    QFETCH(QString, after);
    QFETCH(QString, message);
    QFETCH(QVariantList, asked);
    FakeDesktop desktop;
    FakeAccountLookups lookups;
    lookups.addAccount({12, u"5501"_s, u"管理费用"_s, true, {}});
    lookups.addAccount({13, u"55"_s, u"费用"_s, false, {}});
    lookups.getAccountFails = lookupFails;
    MessageRecorder messages;
    QList<qint32> nesting;
    messages.whenPresented = [&](const MessageRequest &) { nesting.append(WaitNesting); };
    FieldWindow w;
    QVERIFY(w.show(true));
    w.box->setText(typed);
    w.box->setReadOnly(locked);
    setControlTag(w.box, u"3"_s);
    setControlTag(w.label, u"old"_s);

    QString idProperty = u"AccountID"_s;
    const bool result = ResolveCodeField(w.field(), sysObjecs::GetGLData(), u"GetAccount"_s,
                                         idProperty, {typed.trimmed()});

    QCOMPARE(result, keepFocus);
    QCOMPARE(w.state(), after);
    QCOMPARE(messages.texts(), message.isEmpty() ? QStringList{} : QStringList{message});
    QCOMPARE(lookups.getAccountKeys, asked);
    QCOMPARE(WaitNesting, 0);
    if (!message.isEmpty()) {
        QCOMPARE(nesting, QList<qint32>{0});
        QCOMPARE(messages.messages().first().icon, MessageIcon::Information);
        QCOMPARE(messages.messages().first().title, u"岚岫提示"_s);
    }
    if (message == u"未找到编码对应的数据！")
        QCOMPARE(w.box->selectedText(), typed);
}

void tst_CodeField::resolveArgumentShapes_data()
{
    QTest::addColumn<QString>("method");
    QTest::addColumn<QVariantList>("further");
    QTest::addColumn<QStringList>("calls");

    QTest::newRow("GetItem, number and text")
        << u"GetItem"_s << QVariantList{2, u"a"_s} << QStringList{u"2, (omitted), a"_s};
    QTest::newRow("GetItem, two numbers")
        << u"GetItem"_s << QVariantList{2, 5} << QStringList{u"2, 5"_s};
    QTest::newRow("GetItem, one argument")
        << u"GetItem"_s << QVariantList{u"a"_s} << QStringList{u"a"_s};
    QTest::newRow("GetItem, none") << u"GetItem"_s << QVariantList{} << QStringList{QString()};
    QTest::newRow("other method, number and text")
        << u"GetAccount"_s << QVariantList{2, u"a"_s} << QStringList{u"2, a"_s};
    QTest::newRow("three arguments are not called")
        << u"GetItem"_s << QVariantList{1, 2, 3} << QStringList{};
}

void tst_CodeField::resolveArgumentShapes()
{
    QFETCH(QString, method);
    QFETCH(QVariantList, further);
    QFETCH(QStringList, calls);
    MessageRecorder messages;
    FieldWindow w;
    w.box->setText(u"1001"_s);
    ShapeRecorder lookup;
    QString idProperty;

    const bool keepFocus = ResolveCodeField(w.field(), &lookup, method, idProperty, further);

    QCOMPARE(lookup.calls, calls);
    QCOMPARE(keepFocus, !calls.isEmpty()); // nothing found, unless nothing was asked
    QCOMPARE(WaitNesting, 0);
}

void tst_CodeField::lookup_data()
{
    QTest::addColumn<bool>("focused");
    QTest::addColumn<bool>("locked");
    QTest::addColumn<int>("answer"); // 0 none, 1 cancelled, 2 confirmed
    QTest::addColumn<QString>("after");
    QTest::addColumn<bool>("focusInBox");

    QTest::newRow("confirmed while typing")
        << true << false << 2 << u"6601 | box 20 | label 销售费用"_s << true;
    QTest::newRow("confirmed from elsewhere")
        << false << false << 2 << u"销售费用 | box 20 | label 6601"_s << true;
    QTest::newRow("confirmed, locked")
        << true << true << 2 << u"销售费用 | box 20 | label 6601"_s << true;
    QTest::newRow("cancelled") << false << false << 1 << u"管理费用 | box 12 | label 5501"_s
                               << true;
    QTest::newRow("no answer") << false << false << 0 << u"管理费用 | box 12 | label 5501"_s
                               << false;
}

void tst_CodeField::lookup()
{
    QFETCH(bool, focused);
    QFETCH(bool, locked);
    QFETCH(int, answer);
    QFETCH(QString, after);
    QFETCH(bool, focusInBox);
    FakeAccountLookups lookups;
    if (answer > 0)
        lookups.accountLookupAnswer = {answer == 2, 20, u"销售费用"_s, u"6601"_s, true};
    FieldWindow w;
    w.box->setText(u"管理费用"_s);
    setControlTag(w.box, u"12"_s);
    setControlTag(w.label, u"5501"_s);
    QVERIFY(w.show(focused));
    w.box->setReadOnly(locked);

    const std::unique_ptr<QObject> chosen =
        LookupCodeField(w.field(), sysObjecs::GetGLView(), u"AccountLookup"_s, {12});

    QCOMPARE(w.state(), after);
    QCOMPARE(bool(chosen), answer == 2);
    QCOMPARE(QApplication::focusWidget() == w.box, focusInBox);
    QCOMPARE(lookups.accountLookupKeys, QVariantList{12});
    if (answer == 2 && focused && !locked)
        QCOMPARE(w.box->selectedText(), u"6601"_s);
}

QTEST_MAIN(tst_CodeField)
#include "tst_codefield.moc"
