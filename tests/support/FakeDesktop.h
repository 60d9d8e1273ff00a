#pragma once

#include "support/ScopedRegistration.h"

#include <QFont>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QWidget;

namespace AllocFix::Testing {

// Recording fakes of the host's desktop services, registered under their ProgIDs while the
// object lives. Tests set what the fakes answer and read what they were asked.
class FakeDesktop {
public:
    struct HelpCall {
        qint32 context;
        qint16 flags;
        QString text1;
        qint32 number1;
        QString text2;
        qint32 number2;
    };

    // Which services exist. Set before the component first needs them.
    explicit FakeDesktop(bool registerAll = true);
    ~FakeDesktop();

    void registerSharedProperties();
    void registerLanguageInfo();
    void registerResourceLoader();
    void registerFontLoader();
    void registerHelpTool();
    void unregister(const QString &progId);

    // Shared properties: the value of "PropsString"; an invalid QVariant means absent.
    QVariant propsString = QStringLiteral("Language=CHS;");
    int sharePropsCreated = 0;
    int getPropertyCalls = 0;
    QList<QPair<qint32, QString>> propertyRequests;

    // Language information
    QString currentLanguage = QStringLiteral("CHS");
    int langInfoCreated = 0;

    // Resource loader: answers translate(key) for LoadString, and translateHeader(key) for
    // LoadString2.
    std::function<QString(const QString &)> translate = [](const QString &key) -> QString {
        return u'<' + key + u'>';
    };
    std::function<QString(const QString &)> translateHeader = [](const QString &key) -> QString {
        return u'[' + key + u']';
    };
    bool loaderCreationFails = false;
    bool loaderPropertiesFail = false;
    bool loaderLookupFails = false;
    int loaderCreated = 0;
    QString loaderBaseName;
    QString loaderLanguage;
    QStringList loadStringKeys;
    QStringList loadString2Keys;

    // Form font loader: the font it puts on every form; none leaves each form its own.
    std::optional<QFont> formFont;
    int fontLoaderCreated = 0;
    QList<QPair<QWidget *, QString>> fontRequests;

    // Help tool
    bool helpFails = false;
    int helpToolCreated = 0;
    QList<HelpCall> helpCalls;

private:
    std::vector<std::unique_ptr<ScopedRegistration>> m_registrations;
};

} // namespace AllocFix::Testing
