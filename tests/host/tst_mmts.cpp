#include "entry/ComponentUnload.h"
#include "host/ErrorRecord.h"
#include "host/MMTS.h"
#include "host/ProgIds.h"
#include "host/sysObjecs.h"
#include "support/FakeDesktop.h"
#include "support/ScopedRegistration.h"

#include <QCoreApplication>
#include <QWidget>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace AllocFix;
using AllocFix::Testing::FakeDesktop;

class tst_MMTS : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { unloadComponent(); }

    void loadLangString_data();
    void loadLangString();
    void loadLangString2UsesTheHeaderLookup();
    void blankTextAsksNobody_data();
    void blankTextAsksNobody();
    void chineseNeverCreatesTheLoader_data();
    void chineseNeverCreatesTheLoader();
    void errorRecordIsKept_data();
    void errorRecordIsKept();
    void loaderIsRetriedAfterFailedCreation();
    void loaderKeepsItsFirstLanguage();
    void loaderPropertiesAreSetOnce();

    void getLanguage_data();
    void getLanguage();
    void emptyPropertyStringAsksTheLanguageInfo_data();
    void emptyPropertyStringAsksTheLanguageInfo();
    void eachPropertyStringReadCreatesOneSharedPropertiesObject();

    void stripSpaces_data();
    void stripSpaces();

    void applyFormFontTakesTheLanguageOnce();
    void applyFormFontReportsAMissingFontLoader();

    void helpKey_data();
    void helpKey();
    void helpFailureIsIgnoredAndRetried();

    void lookupObjectsAreSharedAndRetried();
};

void tst_MMTS::loadLangString_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("key");

    QTest::newRow("plain") << u"取消"_s << u"<取消>"_s << u"取消"_s;
    QTest::newRow("trailing space kept") << u"部门： "_s << u"<部门：> "_s << u"部门："_s;
    QTest::newRow("number follows") << u"第 "_s << u"<第> "_s << u"第"_s;
    QTest::newRow("space before end apostrophe lost")
        << u" 张卡片在部门 '"_s << u" <张卡片在部门>'"_s << u"张卡片在部门"_s;
    QTest::newRow("leading apostrophe")
        << u"' 下还没有进行折旧费用分配！"_s << u"'<下还没有进行折旧费用分配！>"_s
        << u"下还没有进行折旧费用分配！"_s;
    QTest::newRow("inner apostrophe becomes a space") << u"a'b"_s << u"<a b>"_s << u"a b"_s;
    QTest::newRow("lone apostrophe") << u"'"_s << u"'<>'"_s << QString();
    QTest::newRow("tab is content") << u"\t部门"_s << u"<\t部门>"_s << u"\t部门"_s;
    QTest::newRow("ideographic space is content") << u"　部门"_s << u"<　部门>"_s << u"　部门"_s;
}

void tst_MMTS::loadLangString()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QFETCH(QString, key);
    FakeDesktop desktop;
    desktop.propsString = u"Language=ENG;"_s;

    QCOMPARE(MMTS::LoadLangString(text), expected);
    QCOMPARE(desktop.loadStringKeys, QStringList{key});
    QVERIFY(desktop.loadString2Keys.isEmpty());
}

void tst_MMTS::loadLangString2UsesTheHeaderLookup()
{
    FakeDesktop desktop;
    desktop.propsString = u"Language=ENG"_s;

    QCOMPARE(MMTS::LoadLangString2(u"比例 %"_s), u"[比例 %]"_s);
    QCOMPARE(desktop.loadString2Keys, QStringList{u"比例 %"_s});
    QVERIFY(desktop.loadStringKeys.isEmpty());
}

void tst_MMTS::blankTextAsksNobody_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("spaces") << u"   "_s;
}

void tst_MMTS::blankTextAsksNobody()
{
    QFETCH(QString, text);
    FakeDesktop desktop;
    desktop.propsString = u"Language=ENG;"_s;

    QCOMPARE(MMTS::LoadLangString(text), text);
    QCOMPARE(MMTS::LoadLangString2(text), text);
    QCOMPARE(desktop.sharePropsCreated, 0);
    QCOMPARE(desktop.langInfoCreated, 0);
    QCOMPARE(desktop.loaderCreated, 0);
}

void tst_MMTS::chineseNeverCreatesTheLoader_data()
{
    QTest::addColumn<QVariant>("props");
    QTest::addColumn<QString>("hostLanguage");
    QTest::newRow("CHS") << QVariant(u"Language=CHS;"_s) << u"ENG"_s;
    QTest::newRow("lower case") << QVariant(u"language=chs"_s) << u"ENG"_s;
    QTest::newRow("host language") << QVariant(QString()) << u"chs"_s;
}

void tst_MMTS::chineseNeverCreatesTheLoader()
{
    QFETCH(QVariant, props);
    QFETCH(QString, hostLanguage);
    FakeDesktop desktop;
    desktop.propsString = props;
    desktop.currentLanguage = hostLanguage;

    QCOMPARE(MMTS::LoadLangString(u"取消"_s), u"取消"_s);
    QCOMPARE(MMTS::LoadLangString2(u"部门"_s), u"部门"_s);
    QCOMPARE(desktop.loaderCreated, 0);
}

void tst_MMTS::errorRecordIsKept_data()
{
    QTest::addColumn<bool>("lookupFails");
    QTest::addColumn<bool>("errorPending");
    QTest::newRow("lookup succeeds, error pending") << false << true;
    QTest::newRow("lookup fails, error pending") << true << true;
    QTest::newRow("lookup fails, no error") << true << false;
}

void tst_MMTS::errorRecordIsKept()
{
    QFETCH(bool, lookupFails);
    QFETCH(bool, errorPending);
    FakeDesktop desktop;
    desktop.propsString = u"Language=ENG;"_s;
    desktop.loaderLookupFails = lookupFails;
    const ErrorRecord pending =
        errorPending ? ErrorRecord{5, u"pending"_s, u"wizard"_s, u"help.chm"_s, 77} : ErrorRecord{};
    setCurrentError(pending);

    const QString expected = lookupFails ? u"取消"_s : u"<取消>"_s;
    QCOMPARE(MMTS::LoadLangString(u"取消"_s), expected);
    QCOMPARE(currentError(), pending);
    QCOMPARE(MMTS::LoadLangString2(u"取消"_s), lookupFails ? u"取消"_s : u"[取消]"_s);
    QCOMPARE(currentError(), pending);
}

void tst_MMTS::loaderIsRetriedAfterFailedCreation()
{
    FakeDesktop desktop;
    desktop.propsString = u"Language=ENG;"_s;
    desktop.loaderCreationFails = true;

    QCOMPARE(MMTS::LoadLangString(u"取消"_s), u"取消"_s);
    QCOMPARE(MMTS::LoadLangString(u"取消"_s), u"取消"_s);
    QCOMPARE(desktop.loaderCreated, 0);

    desktop.loaderCreationFails = false;
    QCOMPARE(MMTS::LoadLangString(u"取消"_s), u"<取消>"_s);
    QCOMPARE(MMTS::LoadLangString(u"确定"_s), u"<确定>"_s);
    QCOMPARE(desktop.loaderCreated, 1);
}

void tst_MMTS::loaderKeepsItsFirstLanguage()
{
    FakeDesktop desktop;
    desktop.propsString = u"Language=ENG;"_s;
    QCOMPARE(MMTS::LoadLangString(u"取消"_s), u"<取消>"_s);

    // The language is asked on every call, but the loader keeps the one it was created with.
    desktop.propsString = u"Language=JPN;"_s;
    QCOMPARE(MMTS::LoadLangString(u"取消"_s), u"<取消>"_s);
    QCOMPARE(desktop.loaderLanguage, u"ENG"_s);
    desktop.propsString = u"Language=CHS;"_s;
    QCOMPARE(MMTS::LoadLangString(u"取消"_s), u"取消"_s);
    QCOMPARE(desktop.loaderCreated, 1);
    QCOMPARE(desktop.loaderBaseName, u"ulm"_s);
}

void tst_MMTS::loaderPropertiesAreSetOnce()
{
    FakeDesktop desktop;
    desktop.propsString = u"Language=ENG;"_s;
    desktop.loaderPropertiesFail = true;

    QCOMPARE(MMTS::LoadLangString(u"取消"_s), u"取消"_s);
    desktop.loaderPropertiesFail = false;
    // Kept without its properties: later calls use it as it is.
    QCOMPARE(MMTS::LoadLangString(u"取消"_s), u"<取消>"_s);
    QCOMPARE(desktop.loaderCreated, 1);
    QVERIFY(desktop.loaderBaseName.isEmpty());
    QVERIFY(desktop.loaderLanguage.isEmpty());
}

void tst_MMTS::getLanguage_data()
{
    QTest::addColumn<QString>("props");
    QTest::addColumn<QString>("expected");

    QTest::newRow("last pair without ;") << u"AcctSet=x;Language=ENG"_s << u"ENG"_s;
    QTest::newRow("last pair with ;") << u"AcctSet=x;Language=ENG;"_s << u"ENG"_s;
    QTest::newRow("name in lower case") << u"language=ENG;"_s << u"ENG"_s;
    QTest::newRow("longer name first") << u"UILanguage=ENG;Language=CHS"_s << u"CHS"_s;
    QTest::newRow("only a longer name") << u"UILanguage=ENG;"_s << QString();
    QTest::newRow("name inside a value") << u"Note=Language=ENG;Language=CHT"_s << u"CHT"_s;
    QTest::newRow("spaces after ;") << u"AcctSet=x;  Language=ENG"_s << u"ENG"_s;
    QTest::newRow("spaces at the start") << u"  Language=ENG"_s << u"ENG"_s;
    QTest::newRow("value kept as is") << u"Language= CHS;"_s << u" CHS"_s;
    QTest::newRow("empty value") << u"Language=;AcctSet=x"_s << QString();
    QTest::newRow("no pair") << u"AcctSet=x;User=y"_s << QString();
    QTest::newRow("malformed") << u";;=;Language"_s << QString();
}

void tst_MMTS::getLanguage()
{
    QFETCH(QString, props);
    QFETCH(QString, expected);
    FakeDesktop desktop;
    desktop.propsString = props;
    desktop.currentLanguage = u"JPN"_s;

    QCOMPARE(MMTS::GetLanguage(u"Language"_s), expected);
    QCOMPARE(desktop.langInfoCreated, 0);
}

void tst_MMTS::emptyPropertyStringAsksTheLanguageInfo_data()
{
    QTest::addColumn<QVariant>("props");
    QTest::addColumn<bool>("sharedPropertiesExist");
    QTest::newRow("empty") << QVariant(QString()) << true;
    QTest::newRow("absent") << QVariant() << true;
    QTest::newRow("no shared properties") << QVariant() << false;
}

void tst_MMTS::emptyPropertyStringAsksTheLanguageInfo()
{
    QFETCH(QVariant, props);
    QFETCH(bool, sharedPropertiesExist);
    FakeDesktop desktop;
    if (!sharedPropertiesExist)
        desktop.unregister(ProgId::ShareProps);
    desktop.propsString = props;
    desktop.currentLanguage = u"ENG"_s;

    QCOMPARE(MMTS::GetLanguage(u"Language"_s), u"ENG"_s);
    QCOMPARE(MMTS::GetLanguage(u"Language"_s), u"ENG"_s);
    QCOMPARE(desktop.langInfoCreated, 1);

    desktop.unregister(ProgId::LangInfo);
    MMTS::resetModuleState();
    QCOMPARE(MMTS::GetLanguage(u"Language"_s), QString());
}

void tst_MMTS::eachPropertyStringReadCreatesOneSharedPropertiesObject()
{
    FakeDesktop desktop;
    desktop.propsString = u"Language=ENG;"_s;

    QCOMPARE(MMTS::GetPropsString(), u"Language=ENG;"_s);
    QCOMPARE(MMTS::GetPropsString(), u"Language=ENG;"_s);
    QCOMPARE(desktop.sharePropsCreated, 2);
    const auto pid = static_cast<qint32>(QCoreApplication::applicationPid());
    for (const auto &request : std::as_const(desktop.propertyRequests)) {
        QCOMPARE(request.first, pid);
        QCOMPARE(request.second, u"PropsString"_s);
    }
}

void tst_MMTS::stripSpaces_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("leading");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("remaining");

    QTest::newRow("leading") << u"  ab  "_s << true << 2 << u"ab  "_s;
    QTest::newRow("trailing") << u"  ab  "_s << false << 2 << u"  ab"_s;
    QTest::newRow("only spaces") << u"   "_s << true << 3 << QString();
    QTest::newRow("none") << u"ab"_s << true << 0 << u"ab"_s;
    QTest::newRow("empty") << QString() << false << 0 << QString();
    QTest::newRow("tab is no space") << u"\t a"_s << true << 0 << u"\t a"_s;
}

void tst_MMTS::stripSpaces()
{
    QFETCH(QString, text);
    QFETCH(bool, leading);
    QFETCH(int, count);
    QFETCH(QString, remaining);

    QCOMPARE(MMTS::StripSpaces(text, leading), count);
    QCOMPARE(text, remaining);
}

void tst_MMTS::applyFormFontTakesTheLanguageOnce()
{
    FakeDesktop desktop;
    desktop.propsString = u"Language=ENG;"_s;
    QWidget first;
    QWidget second;

    MMTS::ApplyFormFont(&first);
    desktop.propsString = u"Language=CHS;"_s;
    MMTS::ApplyFormFont(&second);

    QCOMPARE(desktop.fontLoaderCreated, 1);
    QCOMPARE(desktop.fontRequests.size(), 2);
    QCOMPARE(desktop.fontRequests[0].first, &first);
    QCOMPARE(desktop.fontRequests[1].first, &second);
    QCOMPARE(desktop.fontRequests[1].second, u"ENG"_s);
}

void tst_MMTS::applyFormFontReportsAMissingFontLoader()
{
    FakeDesktop desktop;
    desktop.unregister(ProgId::FormFontLoader);
    QWidget form;

    try {
        MMTS::ApplyFormFont(&form);
        QFAIL("a missing font loader must be reported");
    } catch (const Failure &failure) {
        QCOMPARE(failure.number(), ErrorNumber::CannotCreateObject);
        QVERIFY(failure.description().contains(ProgId::FormFontLoader));
    }
}

void tst_MMTS::helpKey_data()
{
    QTest::addColumn<int>("keyCode");
    QTest::addColumn<bool>("isHelp");
    QTest::newRow("F1") << 112 << true;
    QTest::newRow("F2") << 113 << false;
    QTest::newRow("Esc") << 27 << false;
    QTest::newRow("letter A") << 65 << false;
}

void tst_MMTS::helpKey()
{
    QFETCH(int, keyCode);
    QFETCH(bool, isHelp);
    FakeDesktop desktop;

    QCOMPARE(MMTS::HandleHelpKey(keyCode, 90041, {}, 0, {}, 0), isHelp);
    QCOMPARE(MMTS::HandleHelpKey(keyCode, 90041, {}, 0, {}, 0), isHelp);
    QCOMPARE(desktop.helpToolCreated, isHelp ? 1 : 0);
    QCOMPARE(desktop.helpCalls.size(), isHelp ? 2 : 0);
    for (const auto &call : std::as_const(desktop.helpCalls)) {
        QCOMPARE(call.context, 90041);
        QCOMPARE(call.flags, qint16(0));
        QCOMPARE(call.text1, QString());
        QCOMPARE(call.number1, 0);
    }
}

void tst_MMTS::helpFailureIsIgnoredAndRetried()
{
    FakeDesktop desktop;
    desktop.helpFails = true;
    QVERIFY(MMTS::HandleHelpKey(112, 90041, {}, 0, {}, 0));
    QCOMPARE(desktop.helpToolCreated, 0);

    desktop.helpFails = false;
    QVERIFY(MMTS::HandleHelpKey(112, 90041, {}, 0, {}, 0));
    QCOMPARE(desktop.helpToolCreated, 1);
    QCOMPARE(desktop.helpCalls.size(), 1);

    // A tool that exists but fails to show is kept and asked again.
    desktop.helpFails = true;
    QVERIFY(MMTS::HandleHelpKey(112, 90041, {}, 0, {}, 0));
    desktop.helpFails = false;
    QVERIFY(MMTS::HandleHelpKey(112, 90041, {}, 0, {}, 0));
    QCOMPARE(desktop.helpToolCreated, 1);
    QCOMPARE(desktop.helpCalls.size(), 3);
}

void tst_MMTS::lookupObjectsAreSharedAndRetried()
{
    QVERIFY_THROWS_EXCEPTION(Failure, sysObjecs::GetGLData());
    int created = 0;
    Testing::ScopedRegistration data(ProgId::GLData, [&created] {
        ++created;
        return std::make_unique<QObject>();
    });
    Testing::ScopedRegistration view(ProgId::GLView, [] { return std::make_unique<QObject>(); });

    QObject *first = sysObjecs::GetGLData();
    QCOMPARE(sysObjecs::GetGLData(), first);
    QCOMPARE(created, 1);
    QCOMPARE(sysObjecs::GetGLView(), sysObjecs::GetGLView());
    QVERIFY(sysObjecs::GetGLView() != first);
}

QTEST_MAIN(tst_MMTS)
#include "tst_mmts.moc"
