#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace FixedAssets {

// What the command line asks of allocfix.
struct ProgramOptions {
    QString accountSet;           // empty: the demo account set in the user's data folder
    QString language;             // empty: the system's
    std::optional<int> demoCards; // --demo [N]: (re)create the demo account set
    QString screenshot;           // --screenshot <file>
    bool helpShown = false;       // --help or --version was answered; nothing else to do

    // Raises Failure with a message for the user when the arguments make no sense.
    static ProgramOptions parse(const QStringList &arguments);

    static constexpr int DefaultDemoCards = 12;
    static constexpr int MaxDemoCards = 100000;
};

} // namespace FixedAssets
