#pragma once

#include "app/ProgramOptions.h"

#include <QCommandLineOption>
#include <QList>
#include <QString>
#include <QStringList>

// What allocfix accepts, written down once: the parser, the help, the manual page and the shell
// completion are all made from this table, so that none of them can tell a different story.
// Texts are the Chinese keys of the resource loader's catalogs; tr() gives them in the language
// in use.
namespace FixedAssets::CommandTable {

// What an option's value or an argument names, for the shell to complete.
enum class ValueKind { None, Text, Number, Language, Format, AccountSet, File, Command };

struct Option {
    QStringList names;           // "l", "language"
    QString valueName;           // empty: a flag
    const char16_t *description; // a key
    ValueKind kind = ValueKind::None;
    QStringList suffixes = {}; // File: the files it takes, by suffix
    bool hidden = false;       // accepted, but not in the help
};

struct Argument {
    QString name;                // account-set
    QString syntax;              // [account-set]
    const char16_t *description; // a key
    ValueKind kind = ValueKind::AccountSet;
    QStringList suffixes = {};
    QStringList values = {}; // put in place of %1, %2, ... of the description
};

struct Command {
    QString name; // empty: the program itself, which opens the wizard
    ProgramOptions::Action action;
    const char16_t *brief;   // a key: its line in the program's help
    const char16_t *summary; // a key: the first lines of its own help
    QList<Argument> arguments;
    QList<Option> options;
};

// The program itself first, then the subcommands in the order the help lists them.
const QList<Command> &commands();
const Command &program();
const Command *subcommandNamed(const QString &word);

// QApplication takes these from the command line itself; they are accepted and left to it.
const QStringList &qtValueOptions();
const QStringList &qtFlagOptions();

// Whether an option of the program may stand before the subcommand as well as after it
// ("allocfix -l ENG --verbose check").
bool isGlobal(const Option &option);
// Whether every command takes the option: help, version and the global options.
bool isCommon(const Option &option);

// A key in the language in use.
QString tr(const char16_t *key);
// An argument's description in the language in use, its values in place.
QString describe(const Argument &argument);

QCommandLineOption toParserOption(const Option &option);

// The subcommand nearest to a mistyped word ("chek": check), if one is near enough to suggest.
const Command *nearestSubcommand(const QString &word);

// The suffixes an account set file is given, for the shell to offer.
const QStringList &accountSetSuffixes();

} // namespace FixedAssets::CommandTable
