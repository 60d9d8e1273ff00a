#pragma once

#include "allocfix_export.h"

#include <QObject>
#include <QString>
#include <QVariant>

class QWidget;

// Contracts of the host's desktop services. An implementation is a QObject that lists the
// contract in Q_INTERFACES, so the component reaches it with qobject_cast.
namespace AllocFix {

// "Q7RESLOADER.Loader": translated texts keyed by the component's own (Chinese) text.
class ALLOCFIX_EXPORT IResourceLoader {
public:
    virtual ~IResourceLoader() = default;
    virtual void setResFileBaseName(const QString &baseName) = 0;
    virtual void setLanguageID(const QString &languageId) = 0;
    // Both return the text to show for the key; a key the catalog does not know comes back as
    // it was given.
    virtual QString LoadString(QString &key) = 0;
    // The twin lookup for list column headers.
    virtual QString LoadString2(QString &key) = 0;
};

// "Q7LangInfo.LangInfo": the host's language code, such as "CHS" or "ENG".
class ALLOCFIX_EXPORT ILanguageInfo {
public:
    virtual ~ILanguageInfo() = default;
    virtual QString CurrentLanguage() = 0;
};

// "Tessik.TessikLoader": sets the fonts of a form and its controls for a language.
class ALLOCFIX_EXPORT IFormFontLoader {
public:
    virtual ~IFormFontLoader() = default;
    virtual void SetFrmFont(QWidget *form, QString &language) = 0;
};

// "Quarn.ShareProps": properties shared within one host process. A value is a plain value or
// an object reference (a QVariant holding a QObject pointer, owned by the host).
class ALLOCFIX_EXPORT ISharedProperties {
public:
    virtual ~ISharedProperties() = default;
    virtual QVariant GetProperty(qint32 &processId, QString &name) = 0;
};

// "Q7CHMResTool.ClsCHMHelp": shows a help topic by context number.
class ALLOCFIX_EXPORT IHelpTool {
public:
    virtual ~IHelpTool() = default;
    virtual void ShowHELP(qint32 &helpContext, qint16 flags, QString &text1, qint32 &number1,
                          QString &text2, qint32 &number2) = 0;
};

// The host's persistent settings, addressed by application, section and entry.
class ALLOCFIX_EXPORT ISettingsStore {
public:
    virtual ~ISettingsStore() = default;
    // Returns defaultValue when the entry does not exist.
    virtual QVariant read(const QString &application, const QString &section, const QString &entry,
                          const QVariant &defaultValue) = 0;
    virtual void write(const QString &application, const QString &section, const QString &entry,
                       const QVariant &value) = 0;
};

} // namespace AllocFix

Q_DECLARE_INTERFACE(AllocFix::IResourceLoader, "AllocFix.IResourceLoader/1.0")
Q_DECLARE_INTERFACE(AllocFix::ILanguageInfo, "AllocFix.ILanguageInfo/1.0")
Q_DECLARE_INTERFACE(AllocFix::IFormFontLoader, "AllocFix.IFormFontLoader/1.0")
Q_DECLARE_INTERFACE(AllocFix::ISharedProperties, "AllocFix.ISharedProperties/1.0")
Q_DECLARE_INTERFACE(AllocFix::IHelpTool, "AllocFix.IHelpTool/1.0")
Q_DECLARE_INTERFACE(AllocFix::ISettingsStore, "AllocFix.ISettingsStore/1.0")
