#include "app/ProgramSession.h"

#include "accountset/AccountSet.h"
#include "accountset/DemoData.h"
#include "accountset/DemoTarget.h"
#include "desktop/LanguageInfo.h"
#include "desktop/ResourceLoader.h"
#include "desktop/SharedProperties.h"
#include "host/ErrorRecord.h"
#include "services/HostServices.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace FixedAssets {

namespace {

QString chosenLanguage(const ProgramOptions &options)
{
    const QString language =
        options.language.isEmpty() ? LanguageInfo().CurrentLanguage() : options.language;
    const QStringList known = QStringList{u"CHS"_s} + ResourceLoader::languages();
    if (!known.contains(language)) {
        if (options.language.isEmpty())
            return u"ENG"_s; // a system language without a catalog
        throw AllocFix::Failure(
            AllocFix::ErrorNumber::InvalidArgument,
            u"Unknown language \"%1\"; known are %2"_s.arg(language, known.join(u", "_s)),
            u"allocfix"_s);
    }
    return language;
}

// Makes the folder and its missing parents, each for the owner only.
void makeOwnerOnlyFolder(const QString &folder)
{
    QStringList missing;
    for (QString path = QDir::cleanPath(folder); !QFileInfo::exists(path);
         path = QFileInfo(path).path())
        missing.prepend(path);
    for (const QString &path : std::as_const(missing)) {
        if (!QDir().mkdir(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner)) {
            throw AllocFix::Failure(AllocFix::ErrorNumber::ServiceBase + 1201,
                                    u"Cannot create the data folder %1"_s.arg(path), u"allocfix"_s);
        }
    }
}

// Opens (or, for --demo and a first run, creates) the account set; answers the location text
// for the property string.
QString prepareAccountSet(const ProgramOptions &options)
{
    AccountSetLocation location;
    bool create = options.demoCards.has_value();
    if (options.accountSet) {
        location = *options.accountSet;
    } else {
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        makeOwnerOnlyFolder(folder);
        location = AccountSetLocation::parse(u"sqlite:"_s + QDir(folder).filePath(u"demo.fa"_s));
        create = create || !QFileInfo::exists(location.path);
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

QString openSession(const ProgramOptions &options)
{
    const QString language = chosenLanguage(options);
    // What the account set refuses while it is opened is told in the chosen language too.
    registerHostServices();
    publishPropsString(u"Language="_s + language + u';');
    const QString props =
        u"Language="_s + language + u";AcctSet="_s + prepareAccountSet(options) + u';';
    publishPropsString(props);
    return props;
}

} // namespace FixedAssets
