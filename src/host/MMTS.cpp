#include "host/MMTS.h"

#include "host/DesktopServices.h"
#include "host/ErrorRecord.h"
#include "host/ObjectRegistry.h"
#include "host/ProgIds.h"
#include "host/SpaceTrim.h"

#include <QCoreApplication>
#include <QScopedValueRollback>

using namespace Qt::StringLiterals;

namespace AllocFix::MMTS {

namespace {

constexpr qint32 F1KeyCode = 112;

struct ModuleState {
    ServiceObject<IResourceLoader> loader;
    ServiceObject<ILanguageInfo> languageInfo;
    ServiceObject<IFormFontLoader> fontLoader;
    ServiceObject<IHelpTool> helpTool;
    QString formFontLanguage;
};

ModuleState &state()
{
    static ModuleState moduleState;
    return moduleState;
}

IResourceLoader &resourceLoader(const QString &language)
{
    ModuleState &s = state();
    if (!s.loader) {
        // Kept before its properties are set: should setting them fail, later calls use the
        // loader as it is and do not set them again.
        s.loader = createService<IResourceLoader>(ProgId::ResourceLoader);
        s.loader->setResFileBaseName(u"ulm"_s);
        s.loader->setLanguageID(language);
    }
    return *s.loader;
}

enum class Lookup { Text, ColumnHeader };

QString localised(const QString &text, Lookup lookup)
{
    // A failure met while a text is looked up (no loader, a host property that is no text) is
    // told in the words it was written in: looking its own text up would recurse.
    thread_local bool lookingUp = false;
    if (lookingUp)
        return text;
    const QScopedValueRollback<bool> inLookup(lookingUp, true);
    const ErrorRecordGuard keepErrorRecord;
    try {
        const QString trimmed = trimSpaces(text);
        if (trimmed.isEmpty())
            return text;
        // Asked on every call: the host may switch language while the component is loaded.
        const QString language = GetLanguage(u"Language"_s);
        if (language.toUpper() == u"CHS")
            return text;

        const QString q1 = trimmed.startsWith(u'\'') ? u"'"_s : QString();
        const QString q2 = trimmed.endsWith(u'\'') ? u"'"_s : QString();
        QString rest = text;
        const qint32 lead = StripSpaces(rest, true);
        const qint32 trail = StripSpaces(rest, false);
        QString key = trimSpaces(rest.replace(u'\'', u' '));

        IResourceLoader &loader = resourceLoader(language);
        const QString found =
            lookup == Lookup::Text ? loader.LoadString(key) : loader.LoadString2(key);
        return QString(lead, u' ') + q1 + found + q2 + QString(trail, u' ');
    } catch (...) {
        // Shown as written, in Chinese, rather than not at all.
        return text;
    }
}

// Where the pair called name starts: at the start of the list or after a ";", with spaces
// allowed before it. A name that only ends a longer name ("UILanguage=") does not count.
qsizetype findPair(const QString &list, const QString &name)
{
    for (qsizetype pos = list.indexOf(name, 0, Qt::CaseInsensitive); pos >= 0;
         pos = list.indexOf(name, pos + 1, Qt::CaseInsensitive)) {
        qsizetype before = pos - 1;
        while (before >= 0 && list[before] == u' ')
            --before;
        if (before < 0 || list[before] == u';')
            return pos;
    }
    return -1;
}

} // namespace

QString LoadLangString(const QString &text)
{
    return localised(text, Lookup::Text);
}

QString LoadLangString2(const QString &text)
{
    return localised(text, Lookup::ColumnHeader);
}

QString GetLanguage(const QString &key)
{
    QString props;
    try {
        props = GetPropsString();
    } catch (...) {
        // As without a property string: the language service answers.
        props.clear();
    }

    if (props.isEmpty()) {
        ModuleState &s = state();
        try {
            if (!s.languageInfo)
                s.languageInfo = createService<ILanguageInfo>(ProgId::LangInfo);
            return s.languageInfo->CurrentLanguage();
        } catch (...) {
            // No language known: texts are shown as written.
            return {};
        }
    }

    const QString list = props.endsWith(u';') ? props : props + u';';
    const QString name = key + u'=';
    const qsizetype pos = findPair(list, name);
    if (pos < 0)
        return {};
    const qsizetype valueStart = pos + name.size();
    const qsizetype valueEnd = list.indexOf(u';', valueStart);
    return list.mid(valueStart, valueEnd - valueStart);
}

qint32 StripSpaces(QString &text, bool leading)
{
    qsizetype count = 0;
    if (leading) {
        while (count < text.size() && text[count] == u' ')
            ++count;
        text.remove(0, count);
    } else {
        while (count < text.size() && text[text.size() - 1 - count] == u' ')
            ++count;
        text.chop(count);
    }
    return static_cast<qint32>(count);
}

void ApplyFormFont(QWidget *form)
{
    ModuleState &s = state();
    if (s.formFontLanguage.isEmpty())
        s.formFontLanguage = GetLanguage(u"Language"_s);
    if (!s.fontLoader)
        s.fontLoader = createService<IFormFontLoader>(ProgId::FormFontLoader);
    s.fontLoader->SetFrmFont(form, s.formFontLanguage);
}

QString GetPropsString()
{
    const QVariant value = GetShareProp(u"PropsString"_s);
    if (!value.isValid())
        return {};
    if (value.metaType().flags().testFlag(QMetaType::PointerToQObject) ||
        !value.canConvert<QString>()) {
        throw Failure(ErrorNumber::TypeMismatch, LoadLangString(u"宿主的属性串不是文本"_s),
                      ProgId::ShareProps);
    }
    return value.toString();
}

QVariant GetShareProp(const QString &name)
{
    qint32 processId = static_cast<qint32>(QCoreApplication::applicationPid());
    QString property = name;
    const auto shareProps = createService<ISharedProperties>(ProgId::ShareProps);
    // The first answer tells whether the value is an object reference; the second is kept as
    // the reference or the plain value, as the shared-properties contract expects.
    shareProps->GetProperty(processId, property);
    return shareProps->GetProperty(processId, property);
}

bool HandleHelpKey(qint32 keyCode, qint32 helpContext, const QString &text1, qint32 number1,
                   const QString &text2, qint32 number2)
{
    if (keyCode != F1KeyCode)
        return false;
    ModuleState &s = state();
    try {
        if (!s.helpTool)
            s.helpTool = createService<IHelpTool>(ProgId::HelpTool);
        QString t1 = text1;
        QString t2 = text2;
        s.helpTool->ShowHELP(helpContext, 0, t1, number1, t2, number2);
    } catch (...) {
        // No help is better than a form stuck in a failed key handler; the next F1 tries again.
    }
    return true;
}

void resetModuleState()
{
    state() = ModuleState{};
}

} // namespace AllocFix::MMTS
