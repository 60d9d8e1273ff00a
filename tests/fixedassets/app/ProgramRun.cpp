#include "ProgramRun.h"

#include <QDir>
#include <QProcess>

using namespace Qt::StringLiterals;

namespace FixedAssets::Testing {

QString programPath()
{
    return QStringLiteral(ALLOCFIX_PROGRAM);
}

QProcessEnvironment programEnvironment(const QString &home, bool withDisplay, const QString &locale)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"HOME"_s, home);
    environment.insert(u"XDG_DATA_HOME"_s, QDir(home).filePath(u"data"_s));
    environment.insert(u"XDG_CONFIG_HOME"_s, QDir(home).filePath(u"config"_s));
    environment.insert(u"XDG_RUNTIME_DIR"_s, QDir(home).filePath(u"runtime"_s));
    environment.insert(u"LANG"_s, locale);
    environment.remove(u"LC_ALL"_s);
    environment.remove(u"LC_MESSAGES"_s);
    environment.remove(u"DISPLAY"_s);
    environment.remove(u"WAYLAND_DISPLAY"_s);
    if (withDisplay)
        environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    else
        environment.remove(u"QT_QPA_PLATFORM"_s);
    return environment;
}

ProgramRun runProgram(const QStringList &arguments, const QString &home, bool withDisplay,
                      const QString &locale)
{
    QProcess process;
    process.setProcessEnvironment(programEnvironment(home, withDisplay, locale));
    process.start(programPath(), arguments);
    ProgramRun result;
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    // The offscreen platform's notes are not the program's.
    const QStringList lines = QString::fromUtf8(process.readAllStandardError()).split(u'\n');
    for (const QString &line : lines) {
        if (!line.isEmpty() && !line.contains(u"propagateSizeHints"_s))
            result.err += line + u'\n';
    }
    return result;
}

} // namespace FixedAssets::Testing
