#include "StandInHost.h"
#include "host/ErrorRecord.h"
#include "host/ObjectRegistry.h"
#include "host/ProgIds.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>
#include <QWidget>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

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

} // namespace

int main(int argc, char *argv[])
{
    if (!displayAvailable()) {
        std::fputs("allocfix: no display is available (set DISPLAY, or run under Xvfb)\n", stderr);
        return 2;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"allocfix"_s);
    QApplication::setApplicationDisplayName(u"账套卡片数据调整"_s);

    QCommandLineParser parser;
    parser.setApplicationDescription(u"Adjusts the card data of a fixed-asset account set."_s);
    parser.addHelpOption();
    const QCommandLineOption screenshot(
        u"screenshot"_s, u"Save a picture of the wizard to <file> and close it."_s, u"file"_s);
    parser.addOption(screenshot);
    parser.process(app);

    FixedAssets::registerStandInHost();
    if (parser.isSet(screenshot))
        screenshotWhenShown(parser.value(screenshot));

    try {
        auto update = AllocFix::ObjectRegistry::instance().create(AllocFix::ProgId::ShowUpdate);
        QMetaObject::invokeMethod(update.get(), "ShowExportFrm");
        const int result = update->property("UpdateResult").toInt();
        std::printf("UpdateResult=%d\n", result);
        return result == -1 ? 0 : 1;
    } catch (const AllocFix::Failure &failure) {
        std::fprintf(stderr, "allocfix: %s\n", qUtf8Printable(failure.description()));
        return 2;
    }
}
