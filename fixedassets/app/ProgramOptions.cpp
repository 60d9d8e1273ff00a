#include "app/ProgramOptions.h"

#include "host/ErrorRecord.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace FixedAssets {

namespace {

[[noreturn]] void raiseUsage(const QString &text)
{
    throw AllocFix::Failure(AllocFix::ErrorNumber::InvalidArgument, text, u"allocfix"_s);
}

// QApplication takes these from the command line itself; they are accepted and left to it.
const QStringList QtValueOptions{
    u"platform"_s,        u"platformpluginpath"_s, u"platformtheme"_s, u"plugin"_s,
    u"qwindowgeometry"_s, u"qwindowicon"_s,        u"qwindowtitle"_s,  u"session"_s,
    u"style"_s,           u"stylesheet"_s,         u"display"_s,       u"name"_s};
const QStringList QtFlagOptions{u"reverse"_s, u"widgetcount"_s, u"nograb"_s, u"dograb"_s,
                                u"sync"_s};

// Whether the word after "--demo" is its count. It is unless it is an option or reads as a
// location ("./books", "set.fa", "sqlite:books"), so that "--demo abc" is a bad count and not a
// file called abc.
bool isCountWord(const QString &word)
{
    static const QRegularExpression number(u"^[+-]?[0-9][0-9.,eE+-]*$"_s);
    static const QRegularExpression locationSign(u"[/\\\\.:]"_s);
    if (number.match(word).hasMatch())
        return true;
    return !word.startsWith(u'-') && !word.contains(locationSign);
}

// "--demo" takes an optional count, which QCommandLineParser cannot express: "--demo 500" and
// "--demo=500" become "--demo-cards=500".
QStringList withDemoCount(const QStringList &arguments)
{
    QStringList result;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        optionsEnded = optionsEnded || argument == u"--";
        if (!optionsEnded && argument.startsWith(u"--demo="_s)) {
            result << u"--demo"_s << u"--demo-cards="_s + argument.mid(7);
        } else if (!optionsEnded && argument == u"--demo" && i + 1 < arguments.size() &&
                   isCountWord(arguments[i + 1])) {
            result << argument << u"--demo-cards="_s + arguments[++i];
        } else {
            result << argument;
        }
    }
    return result;
}

int demoCount(const QString &text)
{
    static const QRegularExpression integer(u"^[+-]?[0-9]+$"_s);
    const QString range = u"1 to %1"_s.arg(ProgramOptions::MaxDemoCards);
    if (!integer.match(text).hasMatch()) {
        raiseUsage(u"--demo takes a number of cards from %1, not \"%2\" (name a new account set "
                   "file as ./%2)"_s.arg(range, text));
    }
    bool ok = false;
    const qlonglong count = text.toLongLong(&ok);
    if (!ok || count < 1 || count > ProgramOptions::MaxDemoCards)
        raiseUsage(u"--demo: %1 cards is out of range (%2)"_s.arg(text, range));
    return static_cast<int>(count);
}

QString helpAllText(const QString &help)
{
    QStringList names;
    for (const QString &name : QtValueOptions)
        names.append(u'-' + name + u" <value>"_s);
    for (const QString &name : QtFlagOptions)
        names.append(u'-' + name);
    QString text = help + u"\nQt options, handed to Qt:\n"_s;
    QString line;
    for (const QString &name : std::as_const(names)) {
        if (line.size() + name.size() > 76) {
            text += u"  "_s + line + u'\n';
            line.clear();
        }
        line += (line.isEmpty() ? QString() : u", "_s) + name;
    }
    return text + u"  "_s + line + u'\n';
}

} // namespace

ProgramOptions ProgramOptions::parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    // One dash or two: Qt's own options are written "-platform offscreen".
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        u"Adjusts the card data of a fixed-asset account set: re-allocates the depreciation "
        "expense of cards used by several departments."_s);
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(
        u"account-set"_s,
        u"The account set: an SQLite file (path or sqlite:path) or a PostgreSQL URL "
        "(postgresql://user@host:port/database). Default: the demo account set in your data "
        "folder, created on first run."_s,
        u"[account-set]"_s);
    const QCommandLineOption language({u"l"_s, u"language"_s},
                                      u"The language code, such as CHS or ENG. Default: the "
                                      "system's."_s,
                                      u"code"_s);
    const QCommandLineOption demo(u"demo"_s, u"(Re)create the demo account set with N cards "
                                             "used by several departments (default 12): "
                                             "--demo [N]. It replaces only a demo set."_s);
    QCommandLineOption demoCards(u"demo-cards"_s, u"The N of --demo."_s, u"N"_s);
    demoCards.setFlags(QCommandLineOption::HiddenFromHelp);
    const QCommandLineOption force(
        u"force"_s, u"With --demo: replace an account set that is not a demo set."_s);
    const QCommandLineOption screenshot(
        u"screenshot"_s, u"Save a picture of the wizard to <file> and close it."_s, u"file"_s);
    parser.addOptions({language, demo, demoCards, force, screenshot});
    for (const QString &name : QtValueOptions) {
        QCommandLineOption qtOption(name, QString(), u"value"_s);
        qtOption.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(qtOption);
    }
    for (const QString &name : QtFlagOptions) {
        QCommandLineOption qtOption(name, QString());
        qtOption.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(qtOption);
    }

    if (!parser.parse(withDemoCount(arguments)))
        raiseUsage(parser.errorText());
    ProgramOptions options;
    const QString program =
        arguments.isEmpty() ? u"allocfix"_s : QFileInfo(arguments.first()).fileName();
    if (parser.isSet(help) || parser.isSet(u"help-all"_s)) {
        options.action = Action::ShowText;
        // Without an application object the parser cannot know the program's name.
        options.text = parser.helpText().replace(u"<executable_name>"_s, program);
        if (parser.isSet(u"help-all"_s))
            options.text = helpAllText(options.text);
        return options;
    }
    if (parser.isSet(version)) {
        options.action = Action::ShowText;
        options.text = program + u' ' + QStringLiteral(ALLOCFIX_VERSION) + u'\n';
        return options;
    }

    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1)
        raiseUsage(u"Give one account set, not %1"_s.arg(positional.size()));
    if (!positional.isEmpty())
        options.accountSet = AccountSetLocation::parse(positional.first());
    options.language = parser.value(language).trimmed().toUpper();
    if (parser.isSet(language) && options.language.isEmpty())
        raiseUsage(u"--language needs a language code, such as CHS or ENG"_s);
    if (parser.isSet(demo))
        options.demoCards =
            parser.isSet(demoCards) ? demoCount(parser.value(demoCards)) : DefaultDemoCards;
    else if (parser.isSet(demoCards))
        raiseUsage(u"Unknown option 'demo-cards'."_s);
    options.force = parser.isSet(force);
    if (options.force && !options.demoCards)
        raiseUsage(u"--force goes only with --demo"_s);
    options.screenshot = parser.value(screenshot);
    if (parser.isSet(screenshot) && options.screenshot.trimmed().isEmpty())
        raiseUsage(u"--screenshot needs a file name"_s);
    return options;
}

} // namespace FixedAssets
