#include "app/ProgramOptions.h"

#include "app/CsvFile.h"
#include "host/ErrorRecord.h"
#include "host/MMTS.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QRegularExpression>

#include <array>

using namespace Qt::StringLiterals;
using AllocFix::MMTS::LoadLangString;

namespace FixedAssets {

namespace {

[[noreturn]] void raiseUsage(const QString &text)
{
    throw AllocFix::Failure(AllocFix::ErrorNumber::InvalidArgument, text, u"allocfix"_s);
}

// The parser's own complaint, in the user's language: the parser speaks English only.
[[noreturn]] void raiseParserError(const QCommandLineParser &parser)
{
    const QStringList unknown = parser.unknownOptionNames();
    if (unknown.size() == 1)
        raiseUsage(LoadLangString(u"未知选项“%1”。"_s).arg(unknown.first()));
    if (unknown.size() > 1)
        raiseUsage(LoadLangString(u"未知选项：%1。"_s).arg(unknown.join(u", "_s)));
    static const QRegularExpression aboutValue(u"^(Missing|Unexpected) value after '(.*)'\\.$"_s);
    const QRegularExpressionMatch match = aboutValue.match(parser.errorText());
    if (match.hasMatch() && match.captured(1) == u"Missing")
        raiseUsage(LoadLangString(u"“%1”后缺少值。"_s).arg(match.captured(2)));
    if (match.hasMatch())
        raiseUsage(LoadLangString(u"“%1”后不应有值。"_s).arg(match.captured(2)));
    raiseUsage(parser.errorText());
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
    const QString range = QString::number(ProgramOptions::MaxDemoCards);
    if (!integer.match(text).hasMatch()) {
        raiseUsage(LoadLangString(
                       u"--demo 的卡片数是 1 到 %1 之间的数，不是“%2”（新账套文件请写作 ./%2）"_s)
                       .arg(range, text));
    }
    bool ok = false;
    const qlonglong count = text.toLongLong(&ok);
    if (!ok || count < 1 || count > ProgramOptions::MaxDemoCards)
        raiseUsage(LoadLangString(u"--demo：%1 张卡片超出范围（1 到 %2）"_s).arg(text, range));
    return static_cast<int>(count);
}

// The subcommands: the administrator's work on an account set, without a display.
struct Subcommand {
    const char16_t *name;
    ProgramOptions::Action action;
    const char16_t *brief;   // in the program's help
    const char16_t *summary; // in the subcommand's help
};

const std::array<Subcommand, 6> Subcommands{{
    {u"check", ProgramOptions::Action::Check, u"the check report",
     u"Checks the cards and reports how many need adjustment, and how many of those manual work."},
    {u"adjust", ProgramOptions::Action::Adjust,
     u"the automatic adjustment; lists the cards left for manual work",
     u"Adjusts the cards the card services can adjust by themselves and lists the cards left for "
     "manual work."},
    {u"export", ProgramOptions::Action::Export,
     u"the cards left for manual work as a worksheet (.xlsx or .csv)",
     u"Writes the cards left for manual work as a worksheet to fill in: one line per expense row, "
     "with empty columns for the new department, account, items and rate."},
    {u"import", ProgramOptions::Action::Import,
     u"re-allocates them from the filled-in worksheet (.csv)",
     u"Re-allocates the cards left for manual work from a filled-in worksheet saved as CSV: every "
     "line is checked, then all cards are saved together, or none."},
    {u"audit", ProgramOptions::Action::Audit,
     u"the audit log as a table (.csv or .xlsx), or --verify its hash chain",
     u"Writes the audit log (every card each save or adjustment changed, its rows before and "
     "after) as a table, or with --verify checks that no entry was edited, removed or inserted "
     "since it was written."},
    {u"roles", ProgramOptions::Action::Roles,
     u"the SQL that gives a PostgreSQL set its owner, accountant and viewer roles",
     u"Prints the SQL that creates the group roles allocfix_owner, allocfix_accountant and "
     "allocfix_viewer and brings the account set's tables under them; with --apply runs it, as a "
     "superuser or the set's owner."},
}};

const Subcommand *subcommandNamed(const QString &word)
{
    for (const Subcommand &subcommand : Subcommands) {
        if (word == QStringView(subcommand.name))
            return &subcommand;
    }
    return nullptr;
}

QString subcommandList()
{
    QString text = u"\n\nSubcommands, which need no display (allocfix <command> --help):"_s;
    for (const Subcommand &subcommand : Subcommands)
        text += u"\n  "_s + QString::fromUtf16(subcommand.name).leftJustified(8) +
                QString::fromUtf16(subcommand.brief);
    return text;
}

QCommandLineOption languageOption()
{
    return QCommandLineOption({u"l"_s, u"language"_s},
                              u"The language code, such as CHS or ENG. Default: the system's."_s,
                              u"code"_s);
}

QCommandLineOption verboseOption()
{
    return QCommandLineOption(u"verbose"_s, u"Also show the database driver's own warnings."_s);
}

QString languageValue(const QCommandLineParser &parser, const QCommandLineOption &language)
{
    const QString code = parser.value(language).trimmed().toUpper();
    if (parser.isSet(language) && code.isEmpty())
        raiseUsage(LoadLangString(u"--language 需要语言代码，如 CHS 或 ENG"_s));
    return code;
}

const QString AccountSetHelp =
    u"The account set: an SQLite file (path or sqlite:path) or a PostgreSQL URL "
    "(postgresql://user@host:port/database). Default: the demo account set in your data folder, "
    "created on first run."_s;

// The file -o names: a table the program writes, by its suffix.
QString outputFile(const QCommandLineParser &parser, const QCommandLineOption &output)
{
    const QString file = parser.value(output);
    if (!parser.isSet(output) || file.trimmed().isEmpty())
        raiseUsage(LoadLangString(u"请用 -o 指定要写的文件，如 -o worksheet.xlsx"_s));
    const QString suffix = QFileInfo(file).suffix().toLower();
    if (suffix != u"csv" && suffix != u"xlsx")
        raiseUsage(LoadLangString(u"-o：请指定 .xlsx 或 .csv 文件，不是“%1”"_s).arg(file));
    return file;
}

ProgramOptions parseSubcommand(const Subcommand &subcommand, const QStringList &arguments)
{
    using Action = ProgramOptions::Action;
    const Action action = subcommand.action;
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromUtf16(subcommand.summary));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption language = languageOption();
    parser.addOption(language);
    const QCommandLineOption verbose = verboseOption();
    parser.addOption(verbose);
    parser.addPositionalArgument(u"account-set"_s, AccountSetHelp, u"[account-set]"_s);

    const QCommandLineOption format(
        u"format"_s, u"text (default) or json, for programs that read the answer."_s, u"format"_s);
    const QCommandLineOption output(
        {u"o"_s, u"output"_s},
        action == Action::Export
            ? u"The worksheet to write: a .xlsx file, or a .csv file (UTF-8 with a byte order "
              "mark)."_s
            : u"The table to write: a .csv file (UTF-8 with a byte order mark) or a .xlsx file."_s,
        u"file"_s);
    const QCommandLineOption force(u"force"_s, u"Replace the file -o names if it is there."_s);
    const QCommandLineOption dryRun(u"dry-run"_s,
                                    u"Check every line and report, but save nothing."_s);
    const QCommandLineOption since(u"since"_s, u"List only what was saved on or after this day."_s,
                                   u"YYYY-MM-DD"_s);
    const QCommandLineOption verify(
        u"verify"_s, u"Check the audit log's hash chain instead of writing a table; prints the "
                     "last entry's hash to keep elsewhere."_s);
    const QCommandLineOption apply(u"apply"_s, u"Run the statements as well as print them."_s);
    if (action == Action::Check || action == Action::Adjust)
        parser.addOption(format);
    if (action == Action::Export || action == Action::Audit)
        parser.addOptions({output, force});
    if (action == Action::Import) {
        parser.addPositionalArgument(
            u"worksheet"_s,
            u"The worksheet that export wrote, filled in and saved as CSV (UTF-8): a regular file "
            "of at most %1 MB, %2 lines, %3 KB per line and %4 KB per cell."_s
                .arg(WorksheetLimits.fileBytes >> 20)
                .arg(WorksheetLimits.lines)
                .arg(WorksheetLimits.recordBytes >> 10)
                .arg(WorksheetLimits.cellBytes >> 10));
        parser.addOption(dryRun);
    }
    if (action == Action::Audit)
        parser.addOptions({since, verify});
    if (action == Action::Roles)
        parser.addOption(apply);

    if (!parser.parse(arguments))
        raiseParserError(parser);
    ProgramOptions options;
    const QString program = u"allocfix "_s + QString::fromUtf16(subcommand.name);
    if (parser.isSet(help) || parser.isSet(u"help-all"_s)) {
        options.action = Action::ShowText;
        options.text = parser.helpText().replace(u"<executable_name>"_s, program);
        return options;
    }
    if (parser.isSet(version)) {
        options.action = Action::ShowText;
        options.text = u"allocfix "_s + QStringLiteral(ALLOCFIX_VERSION) + u'\n';
        return options;
    }

    options.action = action;
    options.language = languageValue(parser, language);
    options.verbose = parser.isSet(verbose);
    QStringList positional = parser.positionalArguments();
    if (action == Action::Import) {
        if (positional.isEmpty() || positional.size() > 2) {
            raiseUsage(LoadLangString(u"请给出要导入的工作表；若不是演示账套，在它前面给出账套："
                                      "allocfix import [account-set] worksheet.csv"_s));
        }
        options.worksheet = positional.takeLast();
        if (QFileInfo(options.worksheet).suffix().toLower() == u"xlsx") {
            raiseUsage(
                LoadLangString(u"import 读取 CSV：请在电子表格程序中把 %1 另存为 CSV（UTF-8）"
                               "再导入"_s)
                    .arg(options.worksheet));
        }
        options.dryRun = parser.isSet(dryRun);
    }
    if (positional.size() > 1)
        raiseUsage(LoadLangString(u"请只给出一个账套，不是 %1 个"_s).arg(positional.size()));
    if (!positional.isEmpty())
        options.accountSet = AccountSetLocation::parse(positional.first());

    if ((action == Action::Check || action == Action::Adjust) && parser.isSet(format)) {
        const QString value = parser.value(format).trimmed().toLower();
        if (value != u"text" && value != u"json")
            raiseUsage(
                LoadLangString(u"--format 是 text 或 json，不是“%1”"_s).arg(parser.value(format)));
        options.format =
            value == u"json" ? ProgramOptions::Format::Json : ProgramOptions::Format::Text;
    }
    if (action == Action::Audit && parser.isSet(verify)) {
        if (parser.isSet(output) || parser.isSet(force) || parser.isSet(since))
            raiseUsage(LoadLangString(
                u"--verify 检查整个日志，不写表格：请去掉 -o、--force 和 --since"_s));
        options.verify = true;
        return options;
    }
    if (action == Action::Roles) {
        if (positional.isEmpty())
            raiseUsage(
                LoadLangString(u"请给出 PostgreSQL 账套：allocfix roles postgresql://..."_s));
        options.apply = parser.isSet(apply);
    }
    if (action == Action::Export || action == Action::Audit) {
        options.output = outputFile(parser, output);
        options.replaceOutput = parser.isSet(force);
    }
    if (action == Action::Audit && parser.isSet(since)) {
        options.since = QDate::fromString(parser.value(since).trimmed(), Qt::ISODate);
        if (!options.since->isValid()) {
            raiseUsage(LoadLangString(u"--since 的日期写作 YYYY-MM-DD，不是“%1”"_s)
                           .arg(parser.value(since)));
        }
    }
    return options;
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

QString ProgramOptions::languageAskedFor(const QStringList &arguments)
{
    QCommandLineParser parser;
    if (arguments.size() < 2 || !subcommandNamed(arguments.at(1)))
        parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption language = languageOption();
    parser.addOption(language);
    // The other options are unknown here, and parse complains of them: only the language counts.
    parser.parse(arguments);
    return parser.value(language).trimmed().toUpper();
}

ProgramOptions ProgramOptions::parse(const QStringList &arguments)
{
    // "allocfix check ...": a file called "check" is written ./check.
    if (arguments.size() > 1) {
        if (const Subcommand *subcommand = subcommandNamed(arguments.at(1))) {
            return parseSubcommand(*subcommand, QStringList{arguments.first()} + arguments.mid(2));
        }
    }

    QCommandLineParser parser;
    // One dash or two: Qt's own options are written "-platform offscreen".
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        u"Adjusts the card data of a fixed-asset account set: re-allocates the depreciation "
        "expense of cards used by several departments."_s +
        subcommandList());
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(u"account-set"_s, AccountSetHelp, u"[account-set]"_s);
    const QCommandLineOption language = languageOption();
    const QCommandLineOption demo(u"demo"_s, u"(Re)create the demo account set with N cards "
                                             "used by several departments (default 12): "
                                             "--demo [N]. It replaces only a demo set."_s);
    QCommandLineOption demoCards(u"demo-cards"_s, u"The N of --demo."_s, u"N"_s);
    demoCards.setFlags(QCommandLineOption::HiddenFromHelp);
    const QCommandLineOption force(
        u"force"_s, u"With --demo: replace an account set that is not a demo set."_s);
    const QCommandLineOption screenshot(
        u"screenshot"_s, u"Save a picture of the wizard to <file> and close it."_s, u"file"_s);
    const QCommandLineOption verbose = verboseOption();
    parser.addOptions({language, demo, demoCards, force, screenshot, verbose});
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
        raiseParserError(parser);
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
        raiseUsage(LoadLangString(u"请只给出一个账套，不是 %1 个"_s).arg(positional.size()));
    if (!positional.isEmpty())
        options.accountSet = AccountSetLocation::parse(positional.first());
    options.language = languageValue(parser, language);
    if (parser.isSet(demo))
        options.demoCards =
            parser.isSet(demoCards) ? demoCount(parser.value(demoCards)) : DefaultDemoCards;
    else if (parser.isSet(demoCards))
        raiseUsage(LoadLangString(u"未知选项“%1”。"_s).arg(u"demo-cards"_s));
    options.verbose = parser.isSet(verbose);
    options.force = parser.isSet(force);
    if (options.force && !options.demoCards)
        raiseUsage(LoadLangString(u"--force 只能与 --demo 一起使用"_s));
    options.screenshot = parser.value(screenshot);
    if (parser.isSet(screenshot) && options.screenshot.trimmed().isEmpty())
        raiseUsage(LoadLangString(u"--screenshot 需要文件名"_s));
    return options;
}

} // namespace FixedAssets
