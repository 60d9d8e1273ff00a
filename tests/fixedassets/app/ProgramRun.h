#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace FixedAssets::Testing {

struct ProgramRun {
    int exitCode = -1; // -1: it crashed or did not end in time
    QString out;
    QString err;
};

// Runs allocfix as a user would, with home as the home, data, config and runtime folders (the
// last must exist), the system locale given (LANG; English unless told), and a display only when
// withDisplay (the offscreen platform).
// The environment runProgram runs the program in.
QProcessEnvironment programEnvironment(const QString &home, bool withDisplay = true,
                                       const QString &locale = QStringLiteral("C.UTF-8"));
// The program's path.
QString programPath();

ProgramRun runProgram(const QStringList &arguments, const QString &home, bool withDisplay = true,
                      const QString &locale = QStringLiteral("C.UTF-8"));

} // namespace FixedAssets::Testing
