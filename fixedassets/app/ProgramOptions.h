#pragma once

#include "accountset/AccountSetLocation.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>

namespace FixedAssets {

// What the command line asks of allocfix.
struct ProgramOptions {
    // What to do: the wizard, or one of the subcommands that need no display. ShowManual and
    // ShowCompletion print the manual page and the completion's data, made at build time.
    enum class Action {
        RunWizard,
        ShowText,
        ShowManual,
        ShowCompletion,
        Check,
        Adjust,
        Export,
        Import,
        Audit,
        Roles,
        Demo,
        Help // becomes ShowText once parsed
    };
    enum class Format { Text, Json };

    Action action = Action::RunWizard;
    QString text; // ShowText: the help or version text, to print as it is

    std::optional<AccountSetLocation> accountSet; // none: the demo set in the user's data folder
    QString language;                             // empty: the system's
    std::optional<int> demoCards; // --demo [N], demo [N]: (re)create the demo account set
    bool force = false; // --force: the demo set may replace an account set that is not one
    QString screenshot; // --screenshot <file>
    bool screenshotManualPage = false; // --screenshot-page manual

    Format format = Format::Text; // the subcommands' answer: --format text|json
    QString output;               // export, audit: -o <file>, .csv or .xlsx; "-": stdout, CSV
    bool replaceOutput = false;   // export, audit: --force replaces a file already there
    QString worksheet;          // import: the filled-in worksheet (.xlsx, .ods or CSV); "-": stdin
    bool dryRun = false;        // import: --dry-run checks and saves nothing
    QString encoding;           // import: --encoding of a CSV worksheet; empty: guessed
    std::optional<QDate> since; // audit: --since <date>, the first day to list
    bool verify = false;        // audit: --verify checks the hash chain, writes no table
    bool apply = false;         // roles: --apply runs the statements it prints
    bool verbose = false;       // --verbose: the database driver's own warnings reach stderr
    bool quiet = false;         // --quiet: no progress, even on a terminal

    // The arguments are the whole command line, the program first; the global options
    // (--language, --verbose, --quiet) may stand before the subcommand or after it. Raises Failure
    // with one line for the user when they make no sense. Prints nothing and needs no application
    // object, so help and version work without a display.
    static ProgramOptions parse(const QStringList &arguments);

    // The --language code the command line gives, wherever it stands; empty if none. For the
    // texts of the help, which parse() makes.
    static QString languageIn(const QStringList &arguments);

    // What "-" names in place of a file: standard input or output.
    static bool isStandardStream(const QString &file) { return file == u"-"; }

    static constexpr int DefaultDemoCards = 12;
    static constexpr int MaxDemoCards = 100000;
};

} // namespace FixedAssets
