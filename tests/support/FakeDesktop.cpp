#include "support/FakeDesktop.h"

#include "host/DesktopServices.h"
#include "host/ErrorRecord.h"
#include "host/ProgIds.h"

#include <QObject>
#include <QWidget>

using namespace Qt::StringLiterals;

namespace AllocFix::Testing {

namespace {

class FakeSharedProperties final : public QObject, public ISharedProperties {
    Q_OBJECT
    Q_INTERFACES(AllocFix::ISharedProperties)
public:
    explicit FakeSharedProperties(FakeDesktop &desktop)
        : m_desktop(desktop)
    {
        ++m_desktop.sharePropsCreated;
    }
    QVariant GetProperty(qint32 &processId, QString &name) override
    {
        ++m_desktop.getPropertyCalls;
        m_desktop.propertyRequests.append({processId, name});
        return name == u"PropsString" ? m_desktop.propsString : QVariant();
    }

private:
    FakeDesktop &m_desktop;
};

class FakeLanguageInfo final : public QObject, public ILanguageInfo {
    Q_OBJECT
    Q_INTERFACES(AllocFix::ILanguageInfo)
public:
    explicit FakeLanguageInfo(FakeDesktop &desktop)
        : m_desktop(desktop)
    {
        ++m_desktop.langInfoCreated;
    }
    QString CurrentLanguage() override { return m_desktop.currentLanguage; }

private:
    FakeDesktop &m_desktop;
};

class FakeResourceLoader final : public QObject, public IResourceLoader {
    Q_OBJECT
    Q_INTERFACES(AllocFix::IResourceLoader)
public:
    explicit FakeResourceLoader(FakeDesktop &desktop)
        : m_desktop(desktop)
    {
        ++m_desktop.loaderCreated;
    }
    void setResFileBaseName(const QString &baseName) override
    {
        if (m_desktop.loaderPropertiesFail)
            throw Failure(ErrorNumber::ServiceBase + 1, u"property refused"_s);
        m_desktop.loaderBaseName = baseName;
    }
    void setLanguageID(const QString &languageId) override
    {
        m_desktop.loaderLanguage = languageId;
    }
    QString LoadString(QString &key) override
    {
        m_desktop.loadStringKeys.append(key);
        fail();
        return m_desktop.translate(key);
    }
    QString LoadString2(QString &key) override
    {
        m_desktop.loadString2Keys.append(key);
        fail();
        return m_desktop.translateHeader(key);
    }

private:
    void fail()
    {
        if (!m_desktop.loaderLookupFails)
            return;
        // Like an automation server, the failing loader leaves its own error behind.
        setCurrentError({ErrorNumber::ServiceBase + 2, u"catalog missing"_s, u"loader"_s, {}, 0});
        throw Failure(currentError());
    }
    FakeDesktop &m_desktop;
};

class FakeFontLoader final : public QObject, public IFormFontLoader {
    Q_OBJECT
    Q_INTERFACES(AllocFix::IFormFontLoader)
public:
    explicit FakeFontLoader(FakeDesktop &desktop)
        : m_desktop(desktop)
    {
        ++m_desktop.fontLoaderCreated;
    }
    void SetFrmFont(QWidget *form, QString &language) override
    {
        m_desktop.fontRequests.append({form, language});
        if (m_desktop.formFont && form)
            form->setFont(*m_desktop.formFont);
    }

private:
    FakeDesktop &m_desktop;
};

class FakeHelpTool final : public QObject, public IHelpTool {
    Q_OBJECT
    Q_INTERFACES(AllocFix::IHelpTool)
public:
    explicit FakeHelpTool(FakeDesktop &desktop)
        : m_desktop(desktop)
    {
        ++m_desktop.helpToolCreated;
    }
    void ShowHELP(qint32 &helpContext, qint16 flags, QString &text1, qint32 &number1,
                  QString &text2, qint32 &number2) override
    {
        m_desktop.helpCalls.append({helpContext, flags, text1, number1, text2, number2});
        if (m_desktop.helpFails)
            throw Failure(ErrorNumber::ServiceBase + 3, u"help file missing"_s);
    }

private:
    FakeDesktop &m_desktop;
};

} // namespace

FakeDesktop::FakeDesktop(bool registerAll)
{
    if (!registerAll)
        return;
    registerSharedProperties();
    registerLanguageInfo();
    registerResourceLoader();
    registerFontLoader();
    registerHelpTool();
}

FakeDesktop::~FakeDesktop() = default;

void FakeDesktop::registerSharedProperties()
{
    m_registrations.push_back(std::make_unique<ScopedRegistration>(
        ProgId::ShareProps, [this] { return std::make_unique<FakeSharedProperties>(*this); }));
}

void FakeDesktop::registerLanguageInfo()
{
    m_registrations.push_back(std::make_unique<ScopedRegistration>(
        ProgId::LangInfo, [this] { return std::make_unique<FakeLanguageInfo>(*this); }));
}

void FakeDesktop::registerResourceLoader()
{
    m_registrations.push_back(std::make_unique<ScopedRegistration>(ProgId::ResourceLoader, [this] {
        if (loaderCreationFails) {
            throw Failure(ErrorNumber::CannotCreateObject, u"loader unavailable"_s);
        }
        return std::make_unique<FakeResourceLoader>(*this);
    }));
}

void FakeDesktop::registerFontLoader()
{
    m_registrations.push_back(std::make_unique<ScopedRegistration>(
        ProgId::FormFontLoader, [this] { return std::make_unique<FakeFontLoader>(*this); }));
}

void FakeDesktop::registerHelpTool()
{
    m_registrations.push_back(std::make_unique<ScopedRegistration>(ProgId::HelpTool, [this] {
        if (helpFails)
            throw Failure(ErrorNumber::CannotCreateObject, u"help tool unavailable"_s);
        return std::make_unique<FakeHelpTool>(*this);
    }));
}

void FakeDesktop::unregister(const QString &progId)
{
    ObjectRegistry::instance().unregisterClass(progId);
}

} // namespace AllocFix::Testing

#include "FakeDesktop.moc"
