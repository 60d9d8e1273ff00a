<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>ulm</name>
    <message>
        <source>显示命令行选项的帮助。</source>
        <translation>Displays help on commandline options.</translation>
    </message>
    <message>
        <source>显示帮助，包括 Qt 的通用选项。</source>
        <translation>Displays help, including generic Qt options.</translation>
    </message>
    <message>
        <source>显示版本信息。</source>
        <translation>Displays version information.</translation>
    </message>
    <message>
        <source>语言代码，如 CHS 或 ENG。默认：系统的语言。</source>
        <translation>The language code, such as CHS or ENG. Default: the system's.</translation>
    </message>
    <message>
        <source>账套：SQLite 文件（路径或 sqlite:路径）或 PostgreSQL URL（postgresql://user@host:port/database）。默认：数据文件夹中的演示账套，首次运行时创建。</source>
        <translation>The account set: an SQLite file (path or sqlite:path) or a PostgreSQL URL (postgresql://user@host:port/database). Default: the demo account set in your data folder, created on first run.</translation>
    </message>
    <message>
        <source>调整固定资产账套的卡片数据：重新分配多个部门使用的卡片的折旧费用。</source>
        <translation>Adjusts the card data of a fixed-asset account set: re-allocates the depreciation expense of cards used by several departments.</translation>
    </message>
    <message>
        <source>（重新）创建演示账套，含 N 张多个部门使用的卡片（默认 12）：--demo [N]。只替换演示账套。</source>
        <translation>(Re)create the demo account set with N cards used by several departments (default 12): --demo [N]. It replaces only a demo set.</translation>
    </message>
    <message>
        <source>--demo 的 N。</source>
        <translation>The N of --demo.</translation>
    </message>
    <message>
        <source>与 --demo 一起：替换不是演示账套的账套。</source>
        <translation>With --demo: replace an account set that is not a demo set.</translation>
    </message>
    <message>
        <source>把向导的图片保存到 &lt;file&gt; 并关闭向导。</source>
        <translation>Save a picture of the wizard to &lt;file&gt; and close it.</translation>
    </message>
    <message>
        <source>与 --screenshot 一起：先转到该页（intro 或 manual）再保存图片。</source>
        <translation>With --screenshot: go to that page (intro or manual) before saving the picture.</translation>
    </message>
    <message>
        <source>text（默认）或 json，供读取结果的程序使用（见“JSON 输出”）。</source>
        <translation>text (default) or json, for programs that read the answer (see JSON OUTPUT).</translation>
    </message>
    <message>
        <source>若 -o 指定的文件已存在，替换它。</source>
        <translation>Replace the file -o names if it is there.</translation>
    </message>
    <message>
        <source>检查报告</source>
        <translation>the check report</translation>
    </message>
    <message>
        <source>检查卡片，报告多少张需要调整，其中多少张需要手工处理。</source>
        <translation>Checks the cards and reports how many need adjustment, and how many of those manual work.</translation>
    </message>
    <message>
        <source>自动调整；列出留待手工处理的卡片</source>
        <translation>the automatic adjustment; lists the cards left for manual work</translation>
    </message>
    <message>
        <source>调整卡片服务能自行调整的卡片，并列出留待手工处理的卡片。</source>
        <translation>Adjusts the cards the card services can adjust by themselves and lists the cards left for manual work.</translation>
    </message>
    <message>
        <source>把留待手工处理的卡片写成工作表（.xlsx 或 .csv）</source>
        <translation>the cards left for manual work as a worksheet (.xlsx or .csv)</translation>
    </message>
    <message>
        <source>把留待手工处理的卡片写成待填写的工作表：每个费用行一行，新部门、科目、项目和比例各留一空列。</source>
        <translation>Writes the cards left for manual work as a worksheet to fill in: one line per expense row, with empty columns for the new department, account, items and rate.</translation>
    </message>
    <message>
        <source>要写的工作表：.xlsx 文件（推荐；填好保存后 import 读取 .xlsx、.ods 或 CSV），或 .csv 文件（带字节顺序标记的 UTF-8）。-o - 把 CSV 写到标准输出。</source>
        <translation>The worksheet to write: a .xlsx file (recommended; once filled in and saved, import reads .xlsx, .ods or CSV), or a .csv file (UTF-8 with a byte order mark). -o - writes CSV to standard output.</translation>
    </message>
    <message>
        <source>按填好的工作表（.xlsx、.ods 或 .csv）重新分配这些卡片</source>
        <translation>re-allocates them from the filled-in worksheet (.xlsx, .ods or .csv)</translation>
    </message>
    <message>
        <source>按填好并保存的工作表重新分配留待手工处理的卡片：先检查每一行，然后一起保存全部卡片，或一张也不保存。</source>
        <translation>Re-allocates the cards left for manual work from the filled-in and saved worksheet: every line is checked, then all cards are saved together, or none.</translation>
    </message>
    <message>
        <source>export 写出的工作表，填好后由电子表格程序保存：.xlsx（推荐）、.ods，或 CSV（UTF-8、UTF-16 或 GB18030）；普通文件，最多 %1 MB、%2 行，每行最多 %3 KB，每格最多 %4 KB。- 从标准输入读取，限制相同。</source>
        <translation>The worksheet that export wrote, filled in and saved by your spreadsheet program: .xlsx (recommended), .ods, or CSV (UTF-8, UTF-16 or GB18030); a regular file of at most %1 MB, %2 lines, %3 KB per line and %4 KB per cell. - reads it from standard input, within the same limits.</translation>
    </message>
    <message>
        <source>检查每一行并报告，但不保存任何内容。</source>
        <translation>Check every line and report, but save nothing.</translation>
    </message>
    <message>
        <source>要写的表格：.csv 文件（带字节顺序标记的 UTF-8）或 .xlsx 文件。-o - 把 CSV 写到标准输出。</source>
        <translation>The table to write: a .csv file (UTF-8 with a byte order mark) or a .xlsx file. -o - writes CSV to standard output.</translation>
    </message>
    <message>
        <source>只列出这一天及以后保存的内容。</source>
        <translation>List only what was saved on or after this day.</translation>
    </message>
    <message>
        <source>（重新）创建演示账套，不打开向导</source>
        <translation>(re)creates the demo account set, without the wizard</translation>
    </message>
    <message>
        <source>（重新）创建演示账套，含 N 张多个部门使用的卡片，然后退出；不需要显示器。只替换演示账套。</source>
        <translation>(Re)creates the demo account set with N cards used by several departments, then exits; needs no display. It replaces only a demo set.</translation>
    </message>
    <message>
        <source>卡片数，1 至 100000（默认 12）。</source>
        <translation>The number of cards, 1 to 100000 (default 12).</translation>
    </message>
    <message>
        <source>要创建的账套：SQLite 文件或 PostgreSQL URL。默认：数据文件夹中的演示账套。</source>
        <translation>The account set to create: an SQLite file or a PostgreSQL URL. Default: the demo account set in your data folder.</translation>
    </message>
    <message>
        <source>替换不是演示账套的账套。</source>
        <translation>Replace an account set that is not a demo set.</translation>
    </message>
    <message>
        <source>[选项]</source>
        <translation>[options]</translation>
    </message>
    <message>
        <source>子命令，不需要显示器（allocfix &lt;command&gt; --help）：</source>
        <translation>Subcommands, which need no display (allocfix &lt;command&gt; --help):</translation>
    </message>
    <message>
        <source>Qt 的选项，交给 Qt 处理：</source>
        <translation>Qt options, handed to Qt:</translation>
    </message>
    <message>
        <source>用法：%1</source>
        <translation>Usage: %1</translation>
    </message>
    <message>
        <source>选项：</source>
        <translation>Options:</translation>
    </message>
    <message>
        <source>参数：</source>
        <translation>Arguments:</translation>
    </message>
    <message>
        <source>用户命令</source>
        <translation>User Commands</translation>
    </message>
    <message>
        <source>程序名称</source>
        <translation>NAME</translation>
    </message>
    <message>
        <source>调整固定资产账套的卡片数据</source>
        <translation>adjusts the card data of a fixed-asset account set</translation>
    </message>
    <message>
        <source>概要</source>
        <translation>SYNOPSIS</translation>
    </message>
    <message>
        <source>描述</source>
        <translation>DESCRIPTION</translation>
    </message>
    <message>
        <source>不带子命令时，程序打开账套并运行卡片数据调整向导，需要显示器。</source>
        <translation>Without a subcommand the program opens the account set and runs the card data adjustment wizard, which needs a display.</translation>
    </message>
    <message>
        <source>选项</source>
        <translation>OPTIONS</translation>
    </message>
    <message>
        <source>语言代码：</source>
        <translation>Language codes:</translation>
    </message>
    <message>
        <source>子命令</source>
        <translation>COMMANDS</translation>
    </message>
    <message>
        <source>子命令不需要显示器。全局选项 --language、--verbose 和 --quiet 可以写在子命令之前或之后。进度只在标准错误是终端时显示。</source>
        <translation>The subcommands need no display. The global options --language, --verbose and --quiet may stand before the subcommand or after it. Progress is shown only when standard error is a terminal.</translation>
    </message>
    <message>
        <source>退出状态</source>
        <translation>EXIT STATUS</translation>
    </message>
    <message>
        <source>成功：调整已完成，或子命令已完成。</source>
        <translation>Success: the adjustment was carried through, or the subcommand did its work.</translation>
    </message>
    <message>
        <source>未完成：向导未完成调整就关闭了，或者子命令被他人的锁、断开的连接、已满的磁盘或账套拒绝的保存所阻止；重试可能成功。</source>
        <translation>Not carried through: the wizard closed before the adjustment was done, or another user's lock, a lost connection, a full disk or a save the account set refused stopped the subcommand; it may go through when tried again.</translation>
    </message>
    <message>
        <source>输入错误：选项、文件或账套本身不能使用；没有改动任何内容。</source>
        <translation>Bad input: the options, a file or the account set itself cannot be used; nothing was changed.</translation>
    </message>
    <message>
        <source>环境</source>
        <translation>ENVIRONMENT</translation>
    </message>
    <message>
        <source>PostgreSQL 位置未写出的部分，由 libpq 补全。</source>
        <translation>What a PostgreSQL location leaves out; libpq fills it in.</translation>
    </message>
    <message>
        <source>PostgreSQL 的密码；比写在 URL 中更好，因为命令行对本机所有用户可见。</source>
        <translation>The PostgreSQL password; better than one in the URL, since a command line is visible to every user of the machine.</translation>
    </message>
    <message>
        <source>密码文件（默认 ~/.pgpass），只有其所有者可读时才被使用。</source>
        <translation>The password file (default ~/.pgpass), used only if its owner alone may read it.</translation>
    </message>
    <message>
        <source>PostgreSQL 服务名及其文件（默认 ~/.pg_service.conf）：一次给出主机、端口、数据库、用户等。</source>
        <translation>A PostgreSQL service and the file that holds it (default ~/.pg_service.conf): host, port, database, user and more at once.</translation>
    </message>
    <message>
        <source>libpq 的其他连接参数，照原样使用。</source>
        <translation>Other connection parameters of libpq, used as they are.</translation>
    </message>
    <message>
        <source>未给出 --language 时，系统的语言。</source>
        <translation>The system's language, used when --language is not given.</translation>
    </message>
    <message>
        <source>向导的显示器；子命令不需要。</source>
        <translation>The display of the wizard; the subcommands need none.</translation>
    </message>
    <message>
        <source>演示账套和设置所在的文件夹。</source>
        <translation>The folders of the demo account set and the settings.</translation>
    </message>
    <message>
        <source>文件</source>
        <translation>FILES</translation>
    </message>
    <message>
        <source>演示账套（默认 ~/.local/share/FixedAssets/allocfix/demo.fa），首次运行时创建，只有其所有者可读写。</source>
        <translation>The demo account set (default ~/.local/share/FixedAssets/allocfix/demo.fa), created on first run, for its owner only.</translation>
    </message>
    <message>
        <source>向导记住的设置（默认在 ~/.config/FixedAssets/ 中）。</source>
        <translation>The settings the wizard keeps (default in ~/.config/FixedAssets/).</translation>
    </message>
    <message>
        <source>libpq 的密码文件和服务文件。</source>
        <translation>The password file and the service file of libpq.</translation>
    </message>
    <message>
        <source>示例</source>
        <translation>EXAMPLES</translation>
    </message>
    <message>
        <source>另见</source>
        <translation>SEE ALSO</translation>
    </message>
    <message>
        <source>已创建演示账套 %1，含 %2 张卡片。</source>
        <translation>Created the demo account set %1 with %2 cards.</translation>
    </message>
    <message>
        <source>同时显示数据库驱动程序自己的警告。</source>
        <translation>Also show the database driver's own warnings.</translation>
    </message>
    <message>
        <source>审计日志，写成表格（.csv 或 .xlsx），或用 --verify 检查其哈希链</source>
        <translation>the audit log as a table (.csv or .xlsx), or --verify its hash chain</translation>
    </message>
    <message>
        <source>把审计日志（每次保存或调整改动的每张卡片，及其改动前后的行）写成表格；或用 --verify 检查自写入以来没有条目被修改、删除或插入。</source>
        <translation>Writes the audit log (every card each save or adjustment changed, its rows before and after) as a table, or with --verify checks that no entry was edited, removed or inserted since it was written.</translation>
    </message>
    <message>
        <source>检查审计日志的哈希链，不写表格；打印最后一个条目的哈希，供另行保存。</source>
        <translation>Check the audit log's hash chain instead of writing a table; prints the last entry's hash to keep elsewhere.</translation>
    </message>
    <message>
        <source>为 PostgreSQL 账套设置所有者、会计和查看者角色的 SQL</source>
        <translation>the SQL that gives a PostgreSQL set its owner, accountant and viewer roles</translation>
    </message>
    <message>
        <source>打印创建组角色 allocfix_owner、allocfix_accountant 和 allocfix_viewer 并把账套的表置于其下的 SQL；加 --apply 则以超级用户或账套所有者身份执行它。</source>
        <translation>Prints the SQL that creates the group roles allocfix_owner, allocfix_accountant and allocfix_viewer and brings the account set's tables under them; with --apply runs it, as a superuser or the set's owner.</translation>
    </message>
    <message>
        <source>除了打印，也执行这些语句。</source>
        <translation>Run the statements as well as print them.</translation>
    </message>
    <message>
        <source>不显示进度（只在终端上显示）。</source>
        <translation>Show no progress (it is shown on a terminal only).</translation>
    </message>
    <message>
        <source>程序或一个子命令的帮助</source>
        <translation>Help of the program or of one subcommand</translation>
    </message>
    <message>
        <source>显示程序的帮助，或给出的子命令的帮助。</source>
        <translation>Shows the program's help, or the help of the subcommand given.</translation>
    </message>
    <message>
        <source>要显示其帮助的子命令，如 check。</source>
        <translation>The subcommand whose help to show, such as check.</translation>
    </message>
    <message>
        <source>JSON 输出</source>
        <translation>JSON OUTPUT</translation>
    </message>
    <message>
        <source>加 --format json 时，子命令在标准输出上打印一个 JSON 对象（n 为数字）。键名保持不变：以后可能增加键，但不会改名或删除。使子命令停止的失败不打印 JSON：标准错误上有一行说明，退出状态同文本输出；有错误的工作表仍打印 JSON 并以 2 退出，断开的哈希链以 1 退出。import 的 faults 只列出前 %1 个错误，faultCount 是全部错误数；line 为 0 的错误属于整个工作表；sheet 和 column 只用于工作簿。</source>
        <translation>With --format json a subcommand prints one JSON object on standard output (n is a number). The keys stay as they are: keys may be added later, none renamed or dropped. A failure that stops the subcommand prints no JSON: standard error has one line, and the exit status is as with text; a worksheet with faults still gets its JSON and exit status 2, a broken hash chain 1. The faults of import list the first %1 faults, faultCount counts them all; a fault on line 0 is of the whole worksheet; sheet and column are for workbooks only.</translation>
    </message>
</context>
</TS>
