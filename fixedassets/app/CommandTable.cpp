#include "app/CommandTable.h"

#include "host/MMTS.h"
#include "worksheet/CsvFile.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace FixedAssets::CommandTable {

namespace {

using Action = ProgramOptions::Action;

const QStringList TableSuffixes{u"xlsx"_s, u"csv"_s};

// Every command answers these.
QList<Option> commonOptions()
{
    return {
        {{u"h"_s, u"help"_s}, {}, u"显示命令行选项的帮助。"},
        {{u"?"_s}, {}, u"显示命令行选项的帮助。", ValueKind::None, {}, true},
        {{u"help-all"_s}, {}, u"显示帮助，包括 Qt 的通用选项。", ValueKind::None, {}, true},
        {{u"v"_s, u"version"_s}, {}, u"显示版本信息。"},
        {{u"l"_s, u"language"_s},
         u"code"_s,
         u"语言代码，如 CHS 或 ENG。默认：系统的语言。",
         ValueKind::Language},
        {{u"verbose"_s}, {}, u"同时显示数据库驱动程序自己的警告。"},
        {{u"q"_s, u"quiet"_s}, {}, u"不显示进度（只在终端上显示）。"},
    };
}

const char16_t *const AccountSetHelp =
    u"账套：SQLite 文件（路径或 sqlite:路径）或 PostgreSQL URL"
    u"（postgresql://user@host:port/database）。默认：数据文件夹中的演示账套，首次运行时创建。";

Argument accountSetArgument()
{
    return {u"account-set"_s, u"[account-set]"_s, AccountSetHelp};
}

Command programCommand()
{
    Command command{{},
                    Action::RunWizard,
                    u"",
                    u"调整固定资产账套的卡片数据：重新分配多个部门使用的卡片的折旧费用。",
                    {accountSetArgument()},
                    commonOptions()};
    command.options[2].hidden = false; // --help-all lists Qt's options, which only the wizard has
    command.options += QList<Option>{
        {{u"demo"_s},
         {},
         u"（重新）创建演示账套，含 N 张多个部门使用的卡片（默认 12）：--demo [N]。"
         u"只替换演示账套。"},
        {{u"demo-cards"_s}, u"N"_s, u"--demo 的 N。", ValueKind::Number, {}, true},
        {{u"force"_s}, {}, u"与 --demo 一起：替换不是演示账套的账套。"},
        {{u"screenshot"_s},
         u"file"_s,
         u"把向导的图片保存到 <file> 并关闭向导。",
         ValueKind::File,
         {u"png"_s}},
        {{u"screenshot-page"_s},
         u"page"_s,
         u"与 --screenshot 一起：先转到该页（intro 或 manual）再保存图片。",
         ValueKind::Text},
        // Made at build time: the manual page and the shell completion.
        {{u"help-man"_s}, {}, u"", ValueKind::None, {}, true},
        {{u"help-completion"_s}, {}, u"", ValueKind::None, {}, true},
    };
    return command;
}

Option formatOption()
{
    return {{u"format"_s},
            u"format"_s,
            u"text（默认）或 json，供读取结果的程序使用（见“JSON 输出”）。",
            ValueKind::Format};
}

Option outputOption(const char16_t *description)
{
    return {{u"o"_s, u"output"_s}, u"file"_s, description, ValueKind::File, TableSuffixes};
}

const Option ReplaceOutput{{u"force"_s}, {}, u"若 -o 指定的文件已存在，替换它。"};

QList<Command> subcommands()
{
    QList<Command> list{
        {u"check"_s,
         Action::Check,
         u"检查报告",
         u"检查卡片，报告多少张需要调整，其中多少张需要手工处理。",
         {accountSetArgument()},
         commonOptions() << formatOption()},
        {u"adjust"_s,
         Action::Adjust,
         u"自动调整；列出留待手工处理的卡片",
         u"调整卡片服务能自行调整的卡片，并列出留待手工处理的卡片。",
         {accountSetArgument()},
         commonOptions() << formatOption()},
        {u"export"_s,
         Action::Export,
         u"把留待手工处理的卡片写成工作表（.xlsx 或 .csv）",
         u"把留待手工处理的卡片写成待填写的工作表：每个费用行一行，新部门、科目、项目和比例各留一"
         u"空列。",
         {accountSetArgument()},
         commonOptions() << outputOption(u"要写的工作表：.xlsx 文件（推荐；填好保存后 import 读取"
                                         u" .xlsx、.ods 或 CSV），或 .csv 文件（带字节顺序标记的 "
                                         u"UTF-8）。-o - 把 CSV 写到标准输出。")
                         << ReplaceOutput << formatOption()},
        {u"import"_s,
         Action::Import,
         u"按填好的工作表（.xlsx、.ods 或 .csv）重新分配这些卡片",
         u"按填好并保存的工作表重新分配留待手工处理的卡片：先检查每一行，然后一起保存全部卡片，"
         u"或一张也不保存。",
         {accountSetArgument(),
          {u"worksheet"_s,
           u"worksheet"_s,
           u"export 写出的工作表，填好后由电子表格程序保存：.xlsx（推荐）、.ods，或 CSV（UTF-8、"
           u"UTF-16 或 GB18030）；普通文件，最多 %1 MB、%2 行，每行最多 %3 KB，每格最多 %4 KB。"
           u"- 从标准输入读取，限制相同。",
           ValueKind::File,
           {u"xlsx"_s, u"ods"_s, u"csv"_s, u"txt"_s},
           {QString::number(WorksheetLimits.fileBytes >> 20),
            QString::number(WorksheetLimits.lines),
            QString::number(WorksheetLimits.recordBytes >> 10),
            QString::number(WorksheetLimits.cellBytes >> 10)}}},
         commonOptions() << Option{{u"dry-run"_s}, {}, u"检查每一行并报告，但不保存任何内容。"}
                         << Option{{u"encoding"_s},
                                   u"name"_s,
                                   u"CSV 工作表的编码（iconv 的名称，如 GB18030、UTF-16），"
                                   u"不用猜测的编码。",
                                   ValueKind::Text}
                         << formatOption()},
        {u"audit"_s,
         Action::Audit,
         u"审计日志，写成表格（.csv 或 .xlsx），或用 --verify 检查其哈希链",
         u"把审计日志（每次保存或调整改动的每张卡片，及其改动前后的行）写成表格；"
         u"或用 --verify 检查自写入以来没有条目被修改、删除或插入。",
         {accountSetArgument()},
         commonOptions() << outputOption(u"要写的表格：.csv 文件（带字节顺序标记的 UTF-8）或 .xlsx "
                                         u"文件。-o - 把 CSV 写到标准输出。")
                         << ReplaceOutput
                         << Option{{u"since"_s},
                                   u"YYYY-MM-DD"_s,
                                   u"只列出这一天及以后保存的内容。",
                                   ValueKind::Text}
                         << Option{{u"verify"_s},
                                   {},
                                   u"检查审计日志的哈希链，不写表格；打印最后一个条目的哈希，"
                                   u"供另行保存。"}
                         << formatOption()},
        {u"roles"_s,
         Action::Roles,
         u"为 PostgreSQL 账套设置所有者、会计和查看者角色的 SQL",
         u"打印创建组角色 allocfix_owner、allocfix_accountant 和 allocfix_viewer 并把账套的表"
         u"置于其下的 SQL；加 --apply 则以超级用户或账套所有者身份执行它。",
         {accountSetArgument()},
         commonOptions() << Option{{u"apply"_s}, {}, u"除了打印，也执行这些语句。"}
                         << formatOption()},
        {u"demo"_s,
         Action::Demo,
         u"（重新）创建演示账套，不打开向导",
         u"（重新）创建演示账套，含 N "
         u"张多个部门使用的卡片，然后退出；不需要显示器。只替换演示账套。",
         {{u"N"_s, u"[N]"_s, u"卡片数，1 至 100000（默认 12）。", ValueKind::Number},
          {u"account-set"_s, u"[account-set]"_s,
           u"要创建的账套：SQLite 文件或 PostgreSQL URL。默认：数据文件夹中的演示账套。"}},
         commonOptions() << Option{{u"force"_s}, {}, u"替换不是演示账套的账套。"}},
        {u"help"_s,
         Action::Help,
         u"程序或一个子命令的帮助",
         u"显示程序的帮助，或给出的子命令的帮助。",
         {{u"command"_s, u"[command]"_s, u"要显示其帮助的子命令，如 check。", ValueKind::Command}},
         commonOptions()},
    };
    return list;
}

} // namespace

const QList<Command> &commands()
{
    static const QList<Command> all = QList<Command>{programCommand()} + subcommands();
    return all;
}

const Command &program()
{
    return commands().first();
}

const Command *subcommandNamed(const QString &word)
{
    const auto found = std::find_if(commands().cbegin(), commands().cend(), [&word](const auto &c) {
        return !c.name.isEmpty() && c.name == word;
    });
    return found == commands().cend() ? nullptr : &*found;
}

const QStringList &qtValueOptions()
{
    static const QStringList names{
        u"platform"_s,        u"platformpluginpath"_s, u"platformtheme"_s, u"plugin"_s,
        u"qwindowgeometry"_s, u"qwindowicon"_s,        u"qwindowtitle"_s,  u"session"_s,
        u"style"_s,           u"stylesheet"_s,         u"display"_s,       u"name"_s};
    return names;
}

const QStringList &qtFlagOptions()
{
    static const QStringList names{u"reverse"_s, u"widgetcount"_s, u"nograb"_s, u"dograb"_s,
                                   u"sync"_s};
    return names;
}

bool isGlobal(const Option &option)
{
    return option.names.contains(u"language"_s) || option.names.contains(u"verbose"_s) ||
           option.names.contains(u"quiet"_s);
}

bool isCommon(const Option &option)
{
    const QList<Option> common = commonOptions();
    return std::any_of(common.cbegin(), common.cend(),
                       [&option](const Option &o) { return o.names == option.names; });
}

QString tr(const char16_t *key)
{
    return AllocFix::MMTS::LoadLangString(QString::fromUtf16(key));
}

QString describe(const Argument &argument)
{
    QString text = tr(argument.description);
    for (const QString &value : argument.values)
        text = text.arg(value);
    return text;
}

QCommandLineOption toParserOption(const Option &option)
{
    // No description: the help is made from the table, and parsing must not load a catalog
    // before the session has chosen its language.
    QCommandLineOption parserOption(option.names, QString(), option.valueName);
    if (option.hidden)
        parserOption.setFlags(QCommandLineOption::HiddenFromHelp);
    return parserOption;
}

namespace {

// Edits (a letter added, left out, changed, or two swapped) from one word to the other.
qsizetype editDistance(const QString &from, const QString &to)
{
    const qsizetype columns = to.size() + 1;
    QList<qsizetype> distance((from.size() + 1) * columns);
    const auto at = [&distance, columns](qsizetype i, qsizetype j) -> qsizetype & {
        return distance[i * columns + j];
    };
    for (qsizetype i = 0; i <= from.size(); ++i)
        at(i, 0) = i;
    for (qsizetype j = 0; j <= to.size(); ++j)
        at(0, j) = j;
    for (qsizetype i = 1; i <= from.size(); ++i) {
        for (qsizetype j = 1; j <= to.size(); ++j) {
            const qsizetype changed = from[i - 1] == to[j - 1] ? 0 : 1;
            at(i, j) = std::min({at(i - 1, j) + 1, at(i, j - 1) + 1, at(i - 1, j - 1) + changed});
            if (i > 1 && j > 1 && from[i - 1] == to[j - 2] && from[i - 2] == to[j - 1])
                at(i, j) = std::min(at(i, j), at(i - 2, j - 2) + 1);
        }
    }
    return at(from.size(), to.size());
}

} // namespace

const Command *nearestSubcommand(const QString &word)
{
    const QString typed = word.toLower();
    const Command *nearest = nullptr;
    qsizetype nearestDistance = 0;
    for (const Command &command : commands()) {
        if (command.name.isEmpty())
            continue;
        // The start of a name counts as one slip: "aud" is audit.
        const qsizetype distance = typed.size() >= 2 && command.name.startsWith(typed)
                                       ? 1
                                       : editDistance(typed, command.name);
        if (!nearest || distance < nearestDistance) {
            nearest = &command;
            nearestDistance = distance;
        }
    }
    // A third of the word wrong, and at least one letter, is still a slip; more is another word.
    return nearest && nearestDistance <= std::max<qsizetype>(1, typed.size() / 3) ? nearest
                                                                                  : nullptr;
}

const QStringList &accountSetSuffixes()
{
    static const QStringList suffixes{u"fa"_s, u"db"_s, u"sqlite"_s};
    return suffixes;
}

} // namespace FixedAssets::CommandTable
