#include "app/ProgramOptions.h"

#include "accountset/OutsideText.h"
#include "app/CommandTable.h"
#include "app/ProgramHelp.h"
#include "host/ErrorRecord.h"
#include "host/MMTS.h"

#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

using namespace Qt::StringLiterals;
using AllocFix::MMTS::LoadLangString;

namespace FixedAssets {

namespace {

using CommandTable::Command;
using CommandTable::Option;

// The text may quote any word of the command line.
[[noreturn]] void raiseUsage(const QString &text)
{
    throw AllocFix::Failure(AllocFix::ErrorNumber::InvalidArgument, OutsideText::shown(text),
                            u"allocfix"_s);
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
    raiseParserError(parser);
}

// Whether a word reads as a location rather than a bare word: "./books", "set.fa", "sqlite:books".
bool readsAsLocation(const QString &word)
{
    static const QRegularExpression locationSign(u"[/\\\\.:]"_s);
    return word.contains(locationSign);
}

// Whether the word after "--demo" is its count. It is unless it is an option or reads as a
// location, so that "--demo abc" is a bad count and not a file called abc.
bool isCountWord(const QString &word)
{
    static const QRegularExpression number(u"^[+-]?[0-9][0-9.,eE+-]*$"_s);
    if (number.match(word).hasMatch())
        return true;
    return !word.startsWith(u'-') && !readsAsLocation(word);
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

// The option of a command that a word of the command line names ("-l", "--language=CHS"), if
// it has one.
const Option *optionNamed(const Command &command, const QString &word)
{
    const QString name = word.mid(word.startsWith(u"--"_s) ? 2 : 1).section(u'=', 0, 0);
    const auto found =
        std::find_if(command.options.cbegin(), command.options.cend(),
                     [&name](const Option &option) { return option.names.contains(name); });
    return found == command.options.cend() ? nullptr : &*found;
}

// Where the subcommand stands: the first word that is not an option, with nothing but global
// options and their values before it ("allocfix -l CHS check books.fa"). A file called "check"
// is written ./check.
std::optional<qsizetype> subcommandAt(const QStringList &arguments)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &word = arguments[i];
        if (!word.startsWith(u'-') || word.size() == 1) {
            if (CommandTable::subcommandNamed(word))
                return i;
            return std::nullopt;
        }
        const Option *option = optionNamed(CommandTable::program(), word);
        if (!option || !CommandTable::isGlobal(*option))
            return std::nullopt;
        if (!option->valueName.isEmpty() && !word.contains(u'='))
            ++i;
    }
    return std::nullopt;
}

void addOptions(QCommandLineParser &parser, const Command &command)
{
    for (const Option &option : command.options)
        parser.addOption(CommandTable::toParserOption(option));
}

QString languageValue(const QCommandLineParser &parser)
{
    const QString language = u"language"_s;
    const QString code = parser.value(language).trimmed().toUpper();
    if (parser.isSet(language) && code.isEmpty())
        raiseUsage(LoadLangString(u"--language 需要语言代码，如 CHS 或 ENG"_s));
    return code;
}

// The file -o names: a table the program writes, by its suffix.
QString outputFile(const QCommandLineParser &parser)
{
    const QString output = u"output"_s;
    const QString file = parser.value(output);
    if (!parser.isSet(output) || file.trimmed().isEmpty())
        raiseUsage(LoadLangString(u"请用 -o 指定要写的文件，如 -o worksheet.xlsx"_s));
    if (ProgramOptions::isStandardStream(file))
        return file;
    const QString suffix = QFileInfo(file).suffix().toLower();
    if (suffix != u"csv" && suffix != u"xlsx")
        raiseUsage(LoadLangString(u"-o：请指定 .xlsx 或 .csv 文件，不是“%1”"_s).arg(file));
    return file;
}

// Help and version, which every command answers at once.
std::optional<ProgramOptions> textAsked(const QCommandLineParser &parser, const Command &command,
                                        const QString &program)
{
    ProgramOptions options;
    options.action = ProgramOptions::Action::ShowText;
    if (parser.isSet(u"help"_s) || parser.isSet(u"help-all"_s)) {
        options.text =
            ProgramHelp::helpText(command, parser.isSet(u"help-all"_s) && command.name.isEmpty());
        options.text.replace(u"allocfix"_s, program);
        return options;
    }
    if (parser.isSet(u"version"_s)) {
        options.text = program + u' ' + QStringLiteral(ALLOCFIX_VERSION) + u'\n';
        return options;
    }
    return std::nullopt;
}

// A word given as a command that is none: told with the nearest command, if one is near. Where
// it stood for the account set, the message says how to name a file of that name.
[[noreturn]] void raiseUnknownCommand(const QString &word, bool whereAccountSet)
{
    const Command *nearest = CommandTable::nearestSubcommand(word);
    if (nearest && whereAccountSet) {
        raiseUsage(LoadLangString(u"“%1”不是 allocfix 的命令；是要用“%2”吗？（allocfix help "
                                  "列出所有命令；名为 %1 的账套文件请写作 ./%1）"_s)
                       .arg(word, nearest->name));
    }
    if (whereAccountSet) {
        raiseUsage(LoadLangString(u"“%1”不是 allocfix 的命令（allocfix help 列出所有命令；名为 %1 "
                                  "的账套文件请写作 ./%1）"_s)
                       .arg(word));
    }
    if (nearest) {
        raiseUsage(LoadLangString(
                       u"“%1”不是 allocfix 的命令；是要用“%2”吗？（allocfix help 列出所有命令）"_s)
                       .arg(word, nearest->name));
    }
    raiseUsage(
        LoadLangString(u"“%1”不是 allocfix 的命令（allocfix help 列出所有命令）"_s).arg(word));
}

// A word where the account set stands that is no command, no file and no location: a mistyped
// subcommand ("allocfix chek"), not an account set that cannot be opened.
void refuseUnknownCommand(const QString &word)
{
    // A subcommand here stands after an option of the wizard: that option is the fault, told
    // where the options are checked.
    if (word.trimmed().isEmpty() || readsAsLocation(word) ||
        ProgramOptions::isStandardStream(word) || QFileInfo::exists(word) ||
        CommandTable::subcommandNamed(word))
        return;
    raiseUnknownCommand(word, true);
}

// help [command]: the text of the program's help or of the subcommand's.
ProgramOptions helpAsked(const QStringList &positional)
{
    if (positional.size() > 1)
        raiseUsage(LoadLangString(u"请只给出一个命令，不是 %1 个"_s).arg(positional.size()));
    const Command *command = &CommandTable::program();
    if (!positional.isEmpty()) {
        command = CommandTable::subcommandNamed(positional.first());
        if (!command)
            raiseUnknownCommand(positional.first(), false);
    }
    ProgramOptions options;
    options.action = ProgramOptions::Action::ShowText;
    options.text = ProgramHelp::helpText(*command);
    return options;
}

ProgramOptions::Format formatValue(const QCommandLineParser &parser)
{
    const QString format = u"format"_s;
    if (!parser.isSet(format))
        return ProgramOptions::Format::Text;
    const QString value = parser.value(format).trimmed().toLower();
    if (value != u"text" && value != u"json")
        raiseUsage(
            LoadLangString(u"--format 是 text 或 json，不是“%1”"_s).arg(parser.value(format)));
    return value == u"json" ? ProgramOptions::Format::Json : ProgramOptions::Format::Text;
}

// Whether the word names an account set rather than a worksheet: a location with its scheme, or
// a database file.
bool namesAccountSet(const QString &word)
{
    static const QRegularExpression scheme(u"^\\s*(sqlite|postgres|postgresql):"_s,
                                           QRegularExpression::CaseInsensitiveOption);
    if (scheme.match(word).hasMatch())
        return true;
    QFile file(word);
    return file.open(QIODevice::ReadOnly) && file.read(16) == QByteArray("SQLite format 3", 16);
}

// demo [N] [account-set]: a lone word is the count unless it reads as a location.
void takeDemoArguments(ProgramOptions &options, const QStringList &positional)
{
    if (positional.size() > 2)
        raiseUsage(LoadLangString(u"请只给出一个账套，不是 %1 个"_s).arg(positional.size() - 1));
    QString count;
    QString location;
    if (positional.size() == 2) {
        count = positional.first();
        location = positional.last();
    } else if (!positional.isEmpty()) {
        (isCountWord(positional.first()) ? count : location) = positional.first();
    }
    options.demoCards = count.isNull() ? ProgramOptions::DefaultDemoCards : demoCount(count);
    if (!location.isNull())
        options.accountSet = AccountSetLocation::parse(location);
}

ProgramOptions parseSubcommand(const Command &command, const QStringList &arguments)
{
    using Action = ProgramOptions::Action;
    const Action action = command.action;
    QCommandLineParser parser;
    addOptions(parser, command);
    if (!parser.parse(arguments))
        raiseParserError(parser);
    if (auto text = textAsked(parser, command, u"allocfix"_s))
        return *text;
    QStringList positional = parser.positionalArguments();
    if (action == Action::Help)
        return helpAsked(positional);

    ProgramOptions options;
    options.action = action;
    options.language = languageValue(parser);
    options.verbose = parser.isSet(u"verbose"_s);
    options.quiet = parser.isSet(u"quiet"_s);
    if (optionNamed(command, u"--format"_s))
        options.format = formatValue(parser);
    if (action == Action::Demo) {
        takeDemoArguments(options, positional);
        options.force = parser.isSet(u"force"_s);
        return options;
    }
    if (action == Action::Import) {
        if (positional.isEmpty() || positional.size() > 2) {
            raiseUsage(LoadLangString(u"请给出要导入的工作表；若不是演示账套，在它前面给出账套："
                                      "allocfix import [account-set] worksheet.csv"_s));
        }
        // "import books.fa": the worksheet forgotten, not books.fa to be read as one.
        if (positional.size() == 1 && !ProgramOptions::isStandardStream(positional.first()) &&
            namesAccountSet(positional.first())) {
            raiseUsage(LoadLangString(u"缺少要导入的工作表：给出的是账套。请写作 "
                                      "allocfix import [account-set] worksheet.csv"_s));
        }
        options.worksheet = positional.takeLast();
        options.dryRun = parser.isSet(u"dry-run"_s);
        options.encoding = parser.value(u"encoding"_s).trimmed();
    }
    if (positional.size() > 1)
        raiseUsage(LoadLangString(u"请只给出一个账套，不是 %1 个"_s).arg(positional.size()));
    if (!positional.isEmpty())
        options.accountSet = AccountSetLocation::parse(positional.first());

    if (action == Action::Audit && parser.isSet(u"verify"_s)) {
        if (parser.isSet(u"output"_s) || parser.isSet(u"force"_s) || parser.isSet(u"since"_s))
            raiseUsage(LoadLangString(
                u"--verify 检查整个日志，不写表格：请去掉 -o、--force 和 --since"_s));
        options.verify = true;
        return options;
    }
    if (action == Action::Roles) {
        if (positional.isEmpty())
            raiseUsage(
                LoadLangString(u"请给出 PostgreSQL 账套：allocfix roles postgresql://..."_s));
        options.apply = parser.isSet(u"apply"_s);
    }
    if (action == Action::Export || action == Action::Audit) {
        options.output = outputFile(parser);
        options.replaceOutput = parser.isSet(u"force"_s);
        if (ProgramOptions::isStandardStream(options.output) &&
            options.format == ProgramOptions::Format::Json)
            raiseUsage(
                LoadLangString(u"-o - 把表格写到标准输出，--format json 也是；请只用其一"_s));
    }
    const QString since = u"since"_s;
    if (action == Action::Audit && parser.isSet(since)) {
        options.since = QDate::fromString(parser.value(since).trimmed(), Qt::ISODate);
        if (!options.since->isValid()) {
            raiseUsage(LoadLangString(u"--since 的日期写作 YYYY-MM-DD，不是“%1”"_s)
                           .arg(parser.value(since)));
        }
    }
    return options;
}

} // namespace

ProgramOptions ProgramOptions::parse(const QStringList &arguments)
{
    if (const std::optional<qsizetype> at = subcommandAt(arguments)) {
        QStringList rest = arguments;
        rest.removeAt(*at);
        return parseSubcommand(*CommandTable::subcommandNamed(arguments.at(*at)), rest);
    }

    const Command &wizard = CommandTable::program();
    QCommandLineParser parser;
    // One dash or two: Qt's own options are written "-platform offscreen".
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    addOptions(parser, wizard);
    for (const QString &name : CommandTable::qtValueOptions()) {
        QCommandLineOption qtOption(name, QString(), u"value"_s);
        qtOption.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(qtOption);
    }
    for (const QString &name : CommandTable::qtFlagOptions()) {
        QCommandLineOption qtOption(name, QString());
        qtOption.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(qtOption);
    }

    if (!parser.parse(withDemoCount(arguments)))
        raiseParserError(parser);
    const QString program =
        arguments.isEmpty() ? u"allocfix"_s : QFileInfo(arguments.first()).fileName();
    if (auto text = textAsked(parser, wizard, program))
        return *text;
    ProgramOptions options;
    if (parser.isSet(u"help-man"_s) || parser.isSet(u"help-completion"_s)) {
        options.action = parser.isSet(u"help-man"_s) ? Action::ShowManual : Action::ShowCompletion;
        return options;
    }

    const QStringList positional = parser.positionalArguments();
    if (!positional.isEmpty())
        refuseUnknownCommand(positional.first());
    if (positional.size() > 1)
        raiseUsage(LoadLangString(u"请只给出一个账套，不是 %1 个"_s).arg(positional.size()));
    if (!positional.isEmpty())
        options.accountSet = AccountSetLocation::parse(positional.first());
    options.language = languageValue(parser);
    options.verbose = parser.isSet(u"verbose"_s);
    options.quiet = parser.isSet(u"quiet"_s);
    const QString demoCards = u"demo-cards"_s;
    if (parser.isSet(u"demo"_s))
        options.demoCards =
            parser.isSet(demoCards) ? demoCount(parser.value(demoCards)) : DefaultDemoCards;
    else if (parser.isSet(demoCards))
        raiseUsage(LoadLangString(u"未知选项“%1”。"_s).arg(u"demo-cards"_s));
    options.force = parser.isSet(u"force"_s);
    if (options.force && !options.demoCards)
        raiseUsage(LoadLangString(u"--force 只能与 --demo 一起使用"_s));
    const QString screenshot = u"screenshot"_s;
    options.screenshot = parser.value(screenshot);
    if (parser.isSet(screenshot) && options.screenshot.trimmed().isEmpty())
        raiseUsage(LoadLangString(u"--screenshot 需要文件名"_s));
    const QString page = u"screenshot-page"_s;
    if (parser.isSet(page)) {
        if (!parser.isSet(screenshot))
            raiseUsage(LoadLangString(u"--screenshot-page 只能与 --screenshot 一起使用"_s));
        const QString value = parser.value(page);
        if (value != u"intro"_s && value != u"manual"_s)
            raiseUsage(LoadLangString(u"--screenshot-page 只认 intro 和 manual"_s));
        options.screenshotManualPage = value == u"manual"_s;
    }
    return options;
}

QString ProgramOptions::languageIn(const QStringList &arguments)
{
    // Errors are left to parse(), which reports them.
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const Option &language = *optionNamed(CommandTable::program(), u"--language"_s);
    parser.addOption(CommandTable::toParserOption(language));
    QStringList words{arguments.value(0)};
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &word = arguments[i];
        // "-lCHS", as a subcommand's parser reads it.
        if (word.size() > 2 && word.startsWith(u"-l"_s) && word[2] != u'=') {
            words << u"--language="_s + word.mid(2);
            continue;
        }
        if (word.startsWith(u'-') && optionNamed(CommandTable::program(), word) == &language) {
            words << word;
            if (!word.contains(u'=') && i + 1 < arguments.size())
                words << arguments[++i];
        }
    }
    return parser.parse(words) ? parser.value(u"language"_s).trimmed().toUpper() : QString();
}

} // namespace FixedAssets
