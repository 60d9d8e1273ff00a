#include "accountset/AccountSet.h"
#include "app/ProgramHelp.h"
#include "app/ProgramOptions.h"
#include "app/ProgramSession.h"
#include "app/Subcommands.h"
#include "host/ErrorRecord.h"
#include "host/MMTS.h"
#include "host/ObjectRegistry.h"
#include "host/ProgIds.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <cstdio>

using namespace Qt::StringLiterals;
using namespace FixedAssets;
using AllocFix::MMTS::LoadLangString;
using Subcommands::printFailure;
using Subcommands::printLine;

namespace {

using Subcommands::ExitNotCarriedThrough;
constexpr int ExitFailure = Subcommands::ExitBadInput;

bool &driverMessagesShown()
{
    static bool shown = false;
    return shown;
}

// Qt's SQL drivers and plugins write to the developer ("QPSQLDriver::rollbackTransaction:
// Database not open", "Unable to free statement", the data of a broken COPY). The user gets one
// line per error from the program itself; --verbose shows theirs as well.
void driverMessages(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (driverMessagesShown() || type == QtFatalMsg)
        printLine(stderr, qFormatLogMessage(type, context, text));
}

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

// Saves a picture of the first modal window once it is shown, then closes it. For the manual page
// it first goes there as a user would: Next, then the adjustment.
void screenshotWhenShown(const QString &file, bool manualPage)
{
    const auto save = [file] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            modal->grab().save(file);
            modal->close();
        }
    };
    QTimer::singleShot(300, qApp, [save, manualPage] {
        QWidget *modal = QApplication::activeModalWidget();
        if (manualPage && modal) {
            for (const QString &name : {u"btNext"_s, u"btUpdate"_s}) {
                if (auto *button = modal->findChild<QPushButton *>(name))
                    button->click();
            }
        }
        QTimer::singleShot(manualPage ? 300 : 0, qApp, save);
    });
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
        screenshotWhenShown(options.screenshot, options.screenshotManualPage);

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
    qInstallMessageHandler(driverMessages);
    useLanguage(ProgramOptions::languageIn(arguments));
    ProgramOptions options;
    try {
        options = ProgramOptions::parse(arguments);
    } catch (const AllocFix::Failure &failure) {
        printFailure(failure.description());
        return ExitFailure;
    }
    driverMessagesShown() = options.verbose;
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
        printFailure(LoadLangString(u"没有可用的显示（请设置 DISPLAY，或在 xvfb-run 下运行）"_s));
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
        printFailure(failure.description());
    } catch (const std::exception &exception) {
        printFailure(QString::fromLocal8Bit(exception.what()));
    } catch (...) {
        printFailure(LoadLangString(u"一个意外的错误结束了程序"_s));
    }
    AccountSet::closeAll();
    return ExitFailure;
}
