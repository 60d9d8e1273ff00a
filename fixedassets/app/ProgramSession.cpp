#include "app/ProgramSession.h"

#include "accountset/AccountSet.h"
#include "accountset/DemoData.h"
#include "accountset/DemoTarget.h"
#include "accountset/IntegrityNotes.h"
#include "accountset/OutsideText.h"
#include "desktop/LanguageInfo.h"
#include "desktop/ResourceLoader.h"
#include "desktop/SharedProperties.h"
#include "dialogs/DialogRegistration.h"
#include "host/ErrorRecord.h"
#include "host/MMTS.h"
#include "services/HostServices.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QStandardPaths>

using namespace Qt::StringLiterals;
using AllocFix::MMTS::LoadLangString;

namespace FixedAssets {

QStringList knownLanguages()
{
    return QStringList{u"CHS"_s} + ResourceLoader::languages();
}

namespace {

// The language asked for when a catalog holds it, else the system's, else English.
QString usableLanguage(const QString &requested)
{
    const QStringList known = knownLanguages();
    if (known.contains(requested))
        return requested;
    const QString system = LanguageInfo().CurrentLanguage();
    return known.contains(system) ? system : u"ENG"_s;
}

} // namespace

QString chosenLanguage(const QString &requested)
{
    const QStringList known = knownLanguages();
    if (requested.isEmpty() || known.contains(requested))
        return usableLanguage(requested);
    throw AllocFix::Failure(AllocFix::ErrorNumber::InvalidArgument,
                            LoadLangString(u"未知的语言“%1”；可用的语言有 %2"_s)
                                .arg(OutsideText::shown(requested), known.join(u", "_s)),
                            u"allocfix"_s);
}

namespace {

// Makes the folder and its missing parents, each for the owner only; adds each to made.
void makeOwnerOnlyFolder(const QString &folder, QStringList &made)
{
    QStringList missing;
    for (QString path = QDir::cleanPath(folder); !QFileInfo::exists(path);
         path = QFileInfo(path).path())
        missing.prepend(path);
    for (const QString &path : std::as_const(missing)) {
        if (!QDir().mkdir(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner)) {
            throw AllocFix::Failure(AllocFix::ErrorNumber::ServiceBase + 1201,
                                    LoadLangString(u"无法创建数据文件夹 %1"_s).arg(path),
                                    u"allocfix"_s);
        }
        made.append(path);
    }
}

// Opens (or, for --demo and a first run, creates) the account set; answers the location text
// for the property string. Adds what a first run makes to made.
QString prepareAccountSet(const ProgramOptions &options, QStringList &made)
{
    AccountSetLocation location;
    bool create = options.demoCards.has_value();
    if (options.accountSet) {
        location = *options.accountSet;
    } else {
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        makeOwnerOnlyFolder(folder, made);
        location = AccountSetLocation::parse(u"sqlite:"_s + QDir(folder).filePath(u"demo.fa"_s));
        if (!QFileInfo::exists(location.path)) {
            create = true;
            made.append(location.path);
        }
    }
    if (create) {
        checkDemoTarget(location, options.force);
        createDemoAccountSet(location,
                             options.demoCards.value_or(ProgramOptions::DefaultDemoCards));
    } else {
        AccountSet::open(location);
    }
    // Without the password: the pooled connection keeps it, and the property string is shown.
    return location.url();
}

} // namespace

void useLanguage(const QString &requested)
{
    registerHostServices();
    registerHostDialogs();
    publishPropsString(u"Language="_s + usableLanguage(requested) + u';');
}

QString openSession(const ProgramOptions &options, QStringList *made)
{
    useLanguage(options.language);
    // Refused before the account set is opened or made.
    const QString language = chosenLanguage(options.language);
    QStringList madeHere;
    auto takeBack = qScopeGuard([&madeHere] { removeMade(madeHere); });
    const QString props =
        u"Language="_s + language + u";AcctSet="_s + prepareAccountSet(options, madeHere) + u';';
    publishPropsString(props);
    takeBack.dismiss();
    if (made)
        *made = madeHere;
    return props;
}

void removeMade(const QStringList &made)
{
    AccountSet::closeAll();
    for (auto path = made.crbegin(); path != made.crend(); ++path) {
        if (QFileInfo(*path).isDir()) {
            QDir().rmdir(*path);
            continue;
        }
        for (const QString &suffix : {QString(), u"-wal"_s, u"-shm"_s, u"-journal"_s})
            QFile::remove(*path + suffix);
        IntegrityNotes::forget(AccountSetLocation::parse(u"sqlite:"_s + *path));
    }
}

} // namespace FixedAssets
