#include "accountset/AccountSet.h"
#include "accountset/DemoData.h"
#include "accountset/DemoTarget.h"
#include "app/ProgramOptions.h"
#include "desktop/LanguageInfo.h"
#include "desktop/ResourceLoader.h"
#include "desktop/SharedProperties.h"
#include "host/ErrorRecord.h"
#include "host/ObjectRegistry.h"
#include "host/ProgIds.h"
#include "services/HostServices.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTimer>
#include <QWidget>

#include <cstdio>

using namespace Qt::StringLiterals;
using namespace FixedAssets;

namespace {

constexpr int ExitNotCarriedThrough = 1;
constexpr int ExitFailure = 2;

bool displayAvailable()
{
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        return true;
    return qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
}

// Saves a picture of the first modal window once it is shown, then closes it.
void screenshotWhenShown(const QString &file)
{
    QTimer::singleShot(300, qApp, [file] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            modal->grab().save(file);
            modal->close();
        }
    });
}

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

int run(const ProgramOptions &options)
{
    const QString language = chosenLanguage(options);
    const QString accountSet = prepareAccountSet(options);
    publishPropsString(u"Language="_s + language + u";AcctSet="_s + accountSet + u';');
    registerHostServices();
    if (!options.screenshot.isEmpty())
        screenshotWhenShown(options.screenshot);

    auto update = AllocFix::ObjectRegistry::instance().create(AllocFix::ProgId::ShowUpdate);
    QMetaObject::invokeMethod(update.get(), "ShowExportFrm");
    const int result = update->property("UpdateResult").toInt();
    std::printf("UpdateResult=%d\n", result);
    return result == -1 ? 0 : ExitNotCarriedThrough;
}

} // namespace

int main(int argc, char *argv[])
{
    // Read before anything else, so that help, version and bad arguments need no display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    ProgramOptions options;
    try {
        options = ProgramOptions::parse(arguments);
    } catch (const AllocFix::Failure &failure) {
        std::fprintf(stderr, "allocfix: %s\n", qUtf8Printable(failure.description()));
        return ExitFailure;
    }
    if (options.action == ProgramOptions::Action::ShowText) {
        std::fputs(qUtf8Printable(options.text), stdout);
        return 0;
    }
    if (!displayAvailable()) {
        std::fputs("allocfix: no display is available (set DISPLAY, or run under xvfb-run)\n",
                   stderr);
        return ExitFailure;
    }
    QApplication app(argc, argv);
    QApplication::setOrganizationName(u"FixedAssets"_s);
    QApplication::setApplicationName(u"allocfix"_s);
    QApplication::setApplicationDisplayName(u"账套卡片数据调整"_s);

    try {
        const int status = run(options);
        AccountSet::closeAll();
        return status;
    } catch (const AllocFix::Failure &failure) {
        std::fprintf(stderr, "allocfix: %s\n", qUtf8Printable(failure.description()));
    } catch (const std::exception &exception) {
        std::fprintf(stderr, "allocfix: %s\n", exception.what());
    } catch (...) {
        std::fputs("allocfix: an unexpected error ended the program\n", stderr);
    }
    AccountSet::closeAll();
    return ExitFailure;
}
