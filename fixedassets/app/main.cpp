#include "accountset/AccountSet.h"
#include "app/ProgramHelp.h"
#include "app/ProgramOptions.h"
#include "app/ProgramSession.h"
#include "app/Subcommands.h"
#include "desktop/SharedProperties.h"
#include "host/ErrorRecord.h"
#include "host/ObjectRegistry.h"
#include "host/ProgIds.h"
#include "services/HostServices.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <cstdio>

using namespace Qt::StringLiterals;
using namespace FixedAssets;

namespace {

using Subcommands::ExitNotCarriedThrough;
constexpr int ExitFailure = Subcommands::ExitBadInput;

void setApplicationNames()
{
    QCoreApplication::setOrganizationName(u"FixedAssets"_s);
    QCoreApplication::setApplicationName(u"allocfix"_s);
}

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

// The help and the manual speak the language the command line asks for, else the system's; a
// language the program does not know is reported by the session, in English meanwhile.
void chooseLanguageOfTexts(const QStringList &arguments)
{
    registerHostServices();
    QString language = u"ENG"_s;
    try {
        language = chosenLanguage(ProgramOptions::languageIn(arguments));
    } catch (const AllocFix::Failure &) {
        language = u"ENG"_s;
    }
    publishPropsString(u"Language="_s + language + u';');
}

// What needs no display and no account set: help, version, the manual page and the completion.
int printText(const ProgramOptions &options)
{
    QString text = options.text;
    if (options.action == ProgramOptions::Action::ShowManual)
        text = ProgramHelp::manualPage(knownLanguages());
    else if (options.action == ProgramOptions::Action::ShowCompletion)
        text = ProgramHelp::completionData(knownLanguages());
    std::fputs(qUtf8Printable(text), stdout);
    return 0;
}

int run(const ProgramOptions &options)
{
    openSession(options);
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
        chooseLanguageOfTexts(arguments);
        options = ProgramOptions::parse(arguments);
    } catch (const AllocFix::Failure &failure) {
        std::fprintf(stderr, "allocfix: %s\n", qUtf8Printable(failure.description()));
        return ExitFailure;
    }
    using Action = ProgramOptions::Action;
    if (options.action == Action::ShowText || options.action == Action::ShowManual ||
        options.action == Action::ShowCompletion)
        return printText(options);
    if (options.action != Action::RunWizard) {
        // The subcommands need no display.
        QCoreApplication app(argc, argv);
        setApplicationNames();
        return Subcommands::run(options);
    }
    if (!displayAvailable()) {
        std::fputs("allocfix: no display is available (set DISPLAY, or run under xvfb-run)\n",
                   stderr);
        return ExitFailure;
    }
    QApplication app(argc, argv);
    setApplicationNames();
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
