#include "app/ProgramHelp.h"

#include "worksheet/WorksheetFaults.h"

using namespace Qt::StringLiterals;

namespace FixedAssets::ProgramHelp {

namespace {

using namespace CommandTable;

constexpr qsizetype LineWidth = 79;

QString dashed(const QString &name)
{
    return (name.size() == 1 ? u"-"_s : u"--"_s) + name;
}

QString optionSyntax(const Option &option)
{
    QStringList names;
    for (const QString &name : option.names)
        names.append(dashed(name));
    const QString value =
        option.valueName.isEmpty() ? QString() : u" <"_s + option.valueName + u'>';
    return names.join(u", "_s) + value;
}

QString commandName(const Command &command)
{
    return command.name.isEmpty() ? u"allocfix"_s : u"allocfix "_s + command.name;
}

QString usageLine(const Command &command)
{
    QString line = commandName(command) + u' ' + tr(u"[选项]");
    for (const Argument &argument : command.arguments)
        line += u' ' + argument.syntax;
    return line;
}

using Rows = QList<std::pair<QString, QString>>;

qsizetype columnWidth(const Rows &rows)
{
    qsizetype width = 0;
    for (const auto &row : rows)
        width = std::max(width, row.first.size());
    return width;
}

// Lines of "  name  description", the descriptions wrapped in one column.
QString table(const Rows &rows, qsizetype width)
{
    const QString indent(2 + width + 2, u' ');
    QString result;
    for (const auto &[name, text] : rows) {
        QString line = u"  "_s + name.leftJustified(width) + u"  "_s;
        // English breaks at a space; Chinese, which has none, stays on one line.
        for (const QString &word : text.split(u' ')) {
            if (line.size() > indent.size() && line.size() + word.size() > LineWidth) {
                result += line.chopped(1) + u'\n';
                line = indent;
            }
            line += word + u' ';
        }
        result += line.chopped(1) + u'\n';
    }
    return result;
}

bool listed(const Option &option, bool withQtOptions)
{
    return !option.hidden || (withQtOptions && option.names.contains(u"help-all"_s));
}

QString subcommandList()
{
    QString text = tr(u"子命令，不需要显示器（allocfix <command> --help）：");
    for (const Command &command : commands()) {
        if (!command.name.isEmpty())
            text += u"\n  "_s + command.name.leftJustified(8) + tr(command.brief);
    }
    return text;
}

QString qtOptionLines()
{
    QStringList names;
    for (const QString &name : qtValueOptions())
        names.append(u'-' + name + u" <value>"_s);
    for (const QString &name : qtFlagOptions())
        names.append(u'-' + name);
    QString text = tr(u"Qt 的选项，交给 Qt 处理：") + u'\n';
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

// roff: a backslash is \e, a minus sign \-, and a line must not start with a control character.
QString roff(const QString &text)
{
    QString escaped = text;
    escaped.replace(u'\\', u"\\e"_s).replace(u'-', u"\\-"_s);
    if (escaped.startsWith(u'.') || escaped.startsWith(u'\''))
        escaped.prepend(u"\\&"_s);
    return escaped;
}

QString roffOption(const Option &option)
{
    QStringList names;
    for (const QString &name : option.names)
        names.append(u"\\fB"_s + roff(dashed(name)) + u"\\fR"_s);
    QString text = u".TP\n"_s + names.join(u", "_s);
    if (!option.valueName.isEmpty())
        text += u" \\fI"_s + roff(option.valueName) + u"\\fR"_s;
    return text + u'\n' + roff(tr(option.description)) + u'\n';
}

QString roffArgument(const Argument &argument)
{
    return u".TP\n\\fI"_s + roff(argument.name) + u"\\fR\n"_s + roff(describe(argument)) + u'\n';
}

QString roffSynopsis(const Command &command)
{
    QString text = u".B "_s + roff(commandName(command)) + u"\n"_s + roff(tr(u"[选项]"));
    for (const Argument &argument : command.arguments)
        text += u' ' + roff(argument.syntax);
    return text + u"\n.br\n"_s;
}

QString roffTerms(const QList<std::pair<const char16_t *, const char16_t *>> &terms)
{
    QString text;
    for (const auto &[term, description] : terms)
        text += u".TP\n\\fB"_s + roff(tr(term)) + u"\\fR\n"_s + roff(tr(description)) + u'\n';
    return text;
}

QString bashWords(const QStringList &words)
{
    return u"'"_s + words.join(u' ') + u"'"_s;
}

QString kindName(ValueKind kind, const QStringList &suffixes)
{
    switch (kind) {
    case ValueKind::Language:
        return u"Language"_s;
    case ValueKind::Format:
        return u"Format"_s;
    case ValueKind::AccountSet:
        return u"AccountSet"_s;
    case ValueKind::Command:
        return u"Command"_s;
    case ValueKind::File:
        return u"File:"_s + suffixes.join(u',');
    case ValueKind::None:
    case ValueKind::Text:
    case ValueKind::Number:
        break;
    }
    return u"None"_s;
}

// The answers of --format json, which scripts read: kept as they are written here (a key may be
// added, none renamed or dropped), and checked against the program by tst_subcommands.
QString jsonSection()
{
    const QList<std::pair<QString, QString>> shapes{
        {u"check"_s, uR"({"total": n, "automatic": n, "manual": n})"_s},
        {u"adjust"_s,
         uR"({"total": n, "automatic": n, "manual": n, "left": [{"position": n, "FAlterID": n, )"
         uR"("FAssetNumber": "...", "FAssetName": "..."}, ...]})"_s},
        {u"export"_s, uR"({"file": "...", "format": "csv"|"xlsx", "lines": n, "cards": n})"_s},
        {u"import"_s,
         uR"({"worksheet": "...", "outcome": "saved"|"checked"|"faulty", "cards": n, "rows": n, )"
         uR"("automatic": n, "faultCount": n, "faults": [{"file": "...", "line": n, )"
         uR"("sheet": "...", "column": "...", "message": "..."}, ...], "notes": ["...", ...]})"_s},
        {u"audit -o"_s, uR"({"file": "...", "format": "csv"|"xlsx", "entries": n})"_s},
        {u"audit --verify"_s,
         uR"({"entries": n, "intact": true|false, "lastHash": "...", "fault": null|{"kind": )"
         uR"("edited"|"inserted"|"deleted"|"moved", "entry": n, "save": n, "otherEntry": n, )"
         uR"("message": "..."}})"_s},
        {u"roles"_s,
         uR"({"accountSet": "...", "applied": true|false, "statements": ["...", ...]})"_s},
    };
    QString text =
        u".SH \""_s + tr(u"JSON 输出") + u"\"\n"_s +
        roff(tr(u"加 --format json 时，子命令在标准输出上打印一个 JSON 对象（n 为数字）。"
                u"键名保持不变：以后可能增加键，但不会改名或删除。使子命令停止的失败"
                u"不打印 JSON：标准错误上有一行说明，退出状态同文本输出；有错误的工作表"
                u"仍打印 JSON 并以 2 退出，断开的哈希链以 1 退出。import 的 faults "
                u"只列出前 %1 个错误，faultCount 是全部错误数；line 为 0 的错误属于整个"
                u"工作表；sheet 和 column 只用于工作簿。")
                 .arg(WorksheetFaults::Shown)) +
        u'\n';
    for (const auto &[command, shape] : shapes)
        text += u".TP\n\\fB"_s + roff(command) + u"\\fR\n"_s + roff(shape) + u'\n';
    return text;
}

} // namespace

QString helpText(const Command &command, bool withQtOptions)
{
    QString text = tr(u"用法：%1").arg(usageLine(command)) + u'\n' + tr(command.summary);
    if (command.name.isEmpty())
        text += u"\n\n"_s + subcommandList();
    Rows options;
    for (const Option &option : command.options) {
        if (listed(option, withQtOptions))
            options.append({optionSyntax(option), tr(option.description)});
    }
    Rows arguments;
    for (const Argument &argument : command.arguments)
        arguments.append({argument.name, describe(argument)});
    // One column for the descriptions of both lists.
    const qsizetype width = std::max(columnWidth(options), columnWidth(arguments));
    text += u"\n\n"_s + tr(u"选项：") + u'\n' + table(options, width);
    text += u'\n' + tr(u"参数：") + u'\n' + table(arguments, width);
    if (withQtOptions)
        text += u'\n' + qtOptionLines();
    return text;
}

QString manualPage(const QStringList &languages)
{
    const Command &wizard = program();
    QString page = u".TH ALLOCFIX 1 \"\" \"allocfix "_s + QStringLiteral(ALLOCFIX_VERSION) +
                   u"\" \""_s + roff(tr(u"用户命令")) + u"\"\n"_s;
    page += u".SH "_s + tr(u"程序名称") + u"\nallocfix \\- "_s +
            roff(tr(u"调整固定资产账套的卡片数据")) + u'\n';
    page += u".SH "_s + tr(u"概要") + u'\n';
    for (const Command &command : commands())
        page += roffSynopsis(command);
    page += u".SH "_s + tr(u"描述") + u'\n' + roff(tr(wizard.summary)) + u'\n' + u".PP\n"_s +
            roff(tr(u"不带子命令时，程序打开账套并运行卡片数据调整向导，需要显示器。")) + u'\n';
    page += u".SH "_s + tr(u"选项") + u'\n';
    for (const Option &option : wizard.options) {
        if (!option.hidden || option.names.contains(u"help-all"_s))
            page += roffOption(option);
    }
    for (const Argument &argument : wizard.arguments)
        page += roffArgument(argument);
    page += u".PP\n"_s + roff(tr(u"语言代码：")) + u' ' + languages.join(u", "_s) + u'\n';
    page += u".SH "_s + tr(u"子命令") + u'\n' +
            roff(tr(u"子命令不需要显示器。全局选项 --language、--verbose 和 --quiet "
                    u"可以写在子命令之前或之后。进度只在标准错误是终端时显示。")) +
            u'\n';
    for (const Command &command : commands()) {
        if (command.name.isEmpty())
            continue;
        page +=
            u".SS \""_s + roff(usageLine(command)) + u"\"\n"_s + roff(tr(command.summary)) + u'\n';
        // Help, version and language are the program's, told once above.
        for (const Option &option : command.options) {
            if (!option.hidden && !isCommon(option))
                page += roffOption(option);
        }
        for (const Argument &argument : command.arguments)
            page += roffArgument(argument);
    }
    page += jsonSection();
    page += u".SH \""_s + tr(u"退出状态") + u"\"\n"_s +
            roffTerms({{u"0", u"成功：调整已完成，或子命令已完成。"},
                       {u"1", u"未完成：向导未完成调整就关闭了，或者子命令被他人的锁、断开的连接、"
                              u"已满的磁盘或账套拒绝的保存所阻止；重试可能成功。"},
                       {u"2", u"输入错误：选项、文件或账套本身不能使用；没有改动任何内容。"}});
    page +=
        u".SH "_s + tr(u"环境") + u'\n' +
        roffTerms({{u"PGHOST, PGPORT, PGUSER, PGDATABASE",
                    u"PostgreSQL 位置未写出的部分，由 libpq 补全。"},
                   {u"PGPASSWORD", u"PostgreSQL 的密码；比写在 URL 中更好，因为命令行对本机"
                                   u"所有用户可见。"},
                   {u"PGPASSFILE", u"密码文件（默认 ~/.pgpass），只有其所有者可读时才被使用。"},
                   {u"PGSERVICE, PGSERVICEFILE",
                    u"PostgreSQL 服务名及其文件（默认 ~/.pg_service.conf）：一次给出主机、"
                    u"端口、数据库、用户等。"},
                   {u"PGSSLMODE, PGCONNECT_TIMEOUT", u"libpq 的其他连接参数，照原样使用。"},
                   {u"LANG, LC_ALL, LC_MESSAGES", u"未给出 --language 时，系统的语言。"},
                   {u"DISPLAY, WAYLAND_DISPLAY, QT_QPA_PLATFORM", u"向导的显示器；子命令不需要。"},
                   {u"XDG_DATA_HOME, XDG_CONFIG_HOME", u"演示账套和设置所在的文件夹。"}});
    page += u".SH "_s + tr(u"文件") + u'\n' +
            roffTerms({{u"$XDG_DATA_HOME/FixedAssets/allocfix/demo.fa",
                        u"演示账套（默认 ~/.local/share/FixedAssets/allocfix/demo.fa），"
                        u"首次运行时创建，只有其所有者可读写。"},
                       {u"$XDG_CONFIG_HOME/FixedAssets/*.ini",
                        u"向导记住的设置（默认在 ~/.config/FixedAssets/ 中）。"},
                       {u"~/.pgpass, ~/.pg_service.conf", u"libpq 的密码文件和服务文件。"}});
    page += u".SH \""_s + tr(u"示例") + u"\"\n.nf\n"_s +
            roff(u"allocfix check books.fa\n"
                 "allocfix --language CHS adjust postgresql://fa@db.example/books\n"
                 "allocfix export books.fa -o worksheet.xlsx\n"
                 "allocfix import books.fa worksheet.csv --dry-run\n"
                 "allocfix demo 500 /tmp/demo.fa\n"
                 "allocfix export books.fa -o - | head\n"
                 "allocfix import books.fa - --format json < worksheet.csv\n"
                 "allocfix help import\n"_s) +
            u".fi\n"_s;
    page += u".SH \""_s + tr(u"另见") + u"\"\n\\fBpsql\\fR(1)\n"_s;
    return page;
}

QString completionData(const QStringList &languages)
{
    QStringList names;
    QString data;
    for (const Command &command : commands()) {
        const QString key = command.name.isEmpty() ? u"_"_s : command.name;
        if (!command.name.isEmpty())
            names.append(command.name);
        QStringList options;
        QStringList values;
        for (const Option &option : command.options) {
            for (const QString &name : option.names) {
                if (!option.hidden)
                    options.append(dashed(name));
                if (!option.valueName.isEmpty())
                    values.append(dashed(name) + u'=' + kindName(option.kind, option.suffixes));
            }
        }
        QStringList arguments;
        for (const Argument &argument : command.arguments)
            arguments.append(kindName(argument.kind, argument.suffixes));
        data += u"_allocfix_options_"_s + key + u'=' + bashWords(options) + u'\n';
        data += u"_allocfix_values_"_s + key + u'=' + bashWords(values) + u'\n';
        data += u"_allocfix_arguments_"_s + key + u'=' + bashWords(arguments) + u'\n';
    }
    return u"_allocfix_commands="_s + bashWords(names) + u"\n_allocfix_languages="_s +
           bashWords(languages) + u"\n_allocfix_account_sets="_s + bashWords(accountSetSuffixes()) +
           u'\n' + data;
}

} // namespace FixedAssets::ProgramHelp
