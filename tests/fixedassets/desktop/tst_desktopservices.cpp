#include "desktop/FormFontLoader.h"
#include "desktop/LanguageInfo.h"
#include "desktop/ResourceLoader.h"
#include "desktop/SettingsStore.h"
#include "desktop/SharedProperties.h"
#include "host/ErrorRecord.h"
#include "host/MMTS.h"
#include "host/ProgIds.h"
#include "support/ScopedRegistration.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace FixedAssets;

class tst_DesktopServices : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup();

    void languageFollowsTheLocale_data();
    void languageFollowsTheLocale();
    void loaderServesTheCatalogs_data();
    void loaderServesTheCatalogs();
    void englishCatalogIsAvailable();
    void settingsPersistPerApplicationAndSection();
    void settingsRefuseApplicationNamesThatAreNoFileNames_data();
    void settingsRefuseApplicationNamesThatAreNoFileNames();
    void sharedPropertiesBelongToTheirProcess();
    void formFontFollowsTheLanguage_data();
    void formFontFollowsTheLanguage();
};

void tst_DesktopServices::cleanup()
{
    clearSharedProperties();
}

void tst_DesktopServices::languageFollowsTheLocale_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("code");

    QTest::newRow("mainland China") << u"zh_CN"_s << u"CHS"_s;
    QTest::newRow("Singapore, simplified") << u"zh_Hans_SG"_s << u"CHS"_s;
    QTest::newRow("Taiwan") << u"zh_TW"_s << u"CHT"_s;
    QTest::newRow("Hong Kong") << u"zh_HK"_s << u"CHT"_s;
    QTest::newRow("traditional script") << u"zh_Hant_SG"_s << u"CHT"_s;
    QTest::newRow("US English") << u"en_US"_s << u"ENG"_s;
    QTest::newRow("British English") << u"en_GB"_s << u"ENG"_s;
    QTest::newRow("Japanese") << u"ja_JP"_s << u"JPN"_s;
    QTest::newRow("German") << u"de_DE"_s << u"DEU"_s;
    QTest::newRow("a language without a code") << u"pt_BR"_s << u"ENG"_s;
}

void tst_DesktopServices::languageFollowsTheLocale()
{
    QFETCH(QString, locale);
    QFETCH(QString, code);
    QCOMPARE(languageCodeOf(QLocale(locale)), code);
}

void tst_DesktopServices::loaderServesTheCatalogs_data()
{
    QTest::addColumn<QString>("baseName");
    QTest::addColumn<QString>("language");
    QTest::addColumn<bool>("header");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("text");

    QTest::newRow("text") << u"ulm"_s << u"ENG"_s << false << u"取消"_s << u"Cancel"_s;
    QTest::newRow("language in lower case")
        << u"ulm"_s << u"eng"_s << false << u"取消"_s << u"Cancel"_s;
    QTest::newRow("column header") << u"ulm"_s << u"ENG"_s << true << u"编码"_s << u"Number"_s;
    QTest::newRow("header key is no text")
        << u"ulm"_s << u"ENG"_s << false << u"编码"_s << u"编码"_s;
    QTest::newRow("text key is no header")
        << u"ulm"_s << u"ENG"_s << true << u"确定"_s << u"确定"_s;
    QTest::newRow("unknown text") << u"ulm"_s << u"ENG"_s << false << u"没有这句话"_s
                                  << u"没有这句话"_s;
    QTest::newRow("language without catalog")
        << u"ulm"_s << u"CHT"_s << false << u"取消"_s << u"取消"_s;
    QTest::newRow("other base name") << u"other"_s << u"ENG"_s << false << u"取消"_s << u"取消"_s;
}

void tst_DesktopServices::loaderServesTheCatalogs()
{
    QFETCH(QString, baseName);
    QFETCH(QString, language);
    QFETCH(bool, header);
    QFETCH(QString, key);
    QFETCH(QString, text);
    ResourceLoader loader;
    loader.setResFileBaseName(baseName);
    loader.setLanguageID(language);
    QString argument = key;
    QCOMPARE(header ? loader.LoadString2(argument) : loader.LoadString(argument), text);
    QCOMPARE(argument, key);
}

void tst_DesktopServices::englishCatalogIsAvailable()
{
    QVERIFY(ResourceLoader::languages().contains(u"ENG"_s));
    QVERIFY(ResourceLoader::languages(u"nothing"_s).isEmpty());
}

void tst_DesktopServices::settingsPersistPerApplicationAndSection()
{
    const QTemporaryDir folder;
    {
        SettingsStore store(folder.path());
        QCOMPARE(store.read(u"FA"_s, u"DeptList"_s, u"lvColWidth1"_s, 1200), QVariant(1200));
        store.write(u"FA"_s, u"DeptList"_s, u"lvColWidth1"_s, 1815.5);
        store.write(u"FA"_s, u"Other"_s, u"lvColWidth1"_s, 300);
    }
    SettingsStore store(folder.path());
    QCOMPARE(store.read(u"FA"_s, u"DeptList"_s, u"lvColWidth1"_s, 0).toDouble(), 1815.5);
    QCOMPARE(store.read(u"FA"_s, u"Other"_s, u"lvColWidth1"_s, 0).toInt(), 300);
    QCOMPARE(store.read(u"GL"_s, u"DeptList"_s, u"lvColWidth1"_s, 7).toInt(), 7);
    QVERIFY(QFileInfo::exists(folder.filePath(u"FA.ini"_s)));
}

void tst_DesktopServices::settingsRefuseApplicationNamesThatAreNoFileNames_data()
{
    QTest::addColumn<QString>("application");
    QTest::newRow("empty") << QString();
    QTest::newRow("parent folder") << u"../FA"_s;
    QTest::newRow("absolute path") << u"/tmp/FA"_s;
}

void tst_DesktopServices::settingsRefuseApplicationNamesThatAreNoFileNames()
{
    QFETCH(QString, application);
    const QTemporaryDir folder;
    SettingsStore store(folder.path() + u"/store"_s);
    QVERIFY_THROWS_EXCEPTION(AllocFix::Failure, store.write(application, u"S"_s, u"E"_s, 1));
    QVERIFY_THROWS_EXCEPTION(AllocFix::Failure, store.read(application, u"S"_s, u"E"_s, 1));
    QVERIFY(!QFileInfo::exists(folder.path() + u"/FA.ini"_s));
}

void tst_DesktopServices::sharedPropertiesBelongToTheirProcess()
{
    const AllocFix::Testing::ScopedRegistration registration(
        AllocFix::ProgId::ShareProps, [] { return std::make_unique<SharedPropertiesService>(); });
    publishPropsString(u"Language=ENG;AcctSet=sqlite:/x.fa;"_s);
    setSharedProperty(4242, u"PropsString"_s, u"Language=CHS;"_s);

    QCOMPARE(AllocFix::MMTS::GetPropsString(), u"Language=ENG;AcctSet=sqlite:/x.fa;"_s);
    SharedPropertiesService service;
    qint32 other = 4242;
    qint32 unknown = 4343;
    qint32 own = static_cast<qint32>(QCoreApplication::applicationPid());
    QString name = u"PropsString"_s;
    QString missing = u"Nothing"_s;
    QCOMPARE(service.GetProperty(other, name), QVariant(u"Language=CHS;"_s));
    QVERIFY(!service.GetProperty(unknown, name).isValid());
    QVERIFY(!service.GetProperty(own, missing).isValid());
}

void tst_DesktopServices::formFontFollowsTheLanguage_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("points");

    const QFont system = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    QTest::newRow("Simplified Chinese") << u"CHS"_s << u"Noto Sans CJK SC"_s << 9;
    QTest::newRow("code in lower case") << u"chs"_s << u"Noto Sans CJK SC"_s << 9;
    QTest::newRow("English") << u"ENG"_s << system.family() << system.pointSize();
    QTest::newRow("no language") << QString() << system.family() << system.pointSize();
}

void tst_DesktopServices::formFontFollowsTheLanguage()
{
    QFETCH(QString, language);
    QFETCH(QString, family);
    QFETCH(int, points);
    QWidget form;
    auto *label = new QLabel(u"部门"_s, &form);
    FormFontLoader loader;
    loader.SetFrmFont(&form, language);
    QCOMPARE(form.font().family(), family);
    QCOMPARE(form.font().pointSize(), points);
    QCOMPARE(label->font().family(), family);
    // The Chinese font is really there to draw with, not replaced by a fallback.
    if (language.compare(u"CHS"_s, Qt::CaseInsensitive) == 0)
        QCOMPARE(QFontInfo(label->font()).family(), family);
}

QTEST_MAIN(tst_DesktopServices)
#include "tst_desktopservices.moc"
