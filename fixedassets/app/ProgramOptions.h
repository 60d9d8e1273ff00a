#pragma once

#include "accountset/AccountSetLocation.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace FixedAssets {

// What the command line asks of allocfix.
struct ProgramOptions {
    // What to do. Subcommands add their actions here, with their options beside them.
    enum class Action { RunWizard, ShowText };

    Action action = Action::RunWizard;
    QString text; // ShowText: the help or version text, to print as it is

    std::optional<AccountSetLocation> accountSet; // none: the demo set in the user's data folder
    QString language;                             // empty: the system's
    std::optional<int> demoCards;                 // --demo [N]: (re)create the demo account set
    bool force = false; // --force: --demo may replace an account set that is not a demo set
    QString screenshot; // --screenshot <file>

    // The arguments are the whole command line, the program first. Raises Failure with one line
    // for the user when they make no sense. Prints nothing and needs no application object, so
    // help and version work without a display.
    static ProgramOptions parse(const QStringList &arguments);

    static constexpr int DefaultDemoCards = 12;
    static constexpr int MaxDemoCards = 100000;
};

} // namespace FixedAssets
