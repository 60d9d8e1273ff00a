<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>ulm</name>
    <message>
        <source>正在写审计日志</source>
        <translation>Writing the audit log</translation>
    </message>
    <message>
        <source>已将 %1 条审计记录写入 %2。</source>
        <translation>Wrote %1 audit entries to %2.</translation>
    </message>
    <message>
        <source>这一行不是 UTF-8 文本；请在电子表格程序中把工作表另存为“CSV UTF-8”</source>
        <translation>this line is not UTF-8 text; save the worksheet as "CSV UTF-8" in your spreadsheet program</translation>
    </message>
    <message>
        <source>无法读取：内存不足</source>
        <translation>cannot be read: out of memory</translation>
    </message>
    <message>
        <source>引号不成对（含有引号的字段要整体加引号，其中的引号写两次）</source>
        <translation>the quotes do not pair up (a field that holds a quote is quoted whole, with its quotes doubled)</translation>
    </message>
    <message>
        <source>比例“%1”用了小数逗号；请用小数点，如 33.33</source>
        <translation>the rate "%1" has a decimal comma; write it with a point, as 33.33</translation>
    </message>
    <message>
        <source>比例“%1”不是数字；请写百分数，如 50 或 33.33</source>
        <translation>the rate "%1" is no number; write it in percent, as 50 or 33.33</translation>
    </message>
    <message>
        <source>比例 %1 不在 0.01 到 100（百分数）之间</source>
        <translation>the rate %1 is outside 0.01 to 100 (percent)</translation>
    </message>
    <message>
        <source>没有部门：请填写%1</source>
        <translation>no department: fill in its %1</translation>
    </message>
    <message>
        <source>部门 %1 不使用这张卡片（卡片的部门：%2）</source>
        <translation>the department %1 does not use this card (its departments: %2)</translation>
    </message>
    <message>
        <source>没有部门“%1”</source>
        <translation>there is no department "%1"</translation>
    </message>
    <message>
        <source>科目 %1 需要%2核算项目：请填写%3</source>
        <translation>account %1 needs a %2 item: fill in its %3</translation>
    </message>
    <message>
        <source>科目 %1 需要%2核算项目，而工作表没有这一列</source>
        <translation>account %1 needs a %2 item, and the worksheet has no column for it</translation>
    </message>
    <message>
        <source>有多个%1核算项目叫“%2”；请写它的编码</source>
        <translation>more than one %1 item is called "%2"; write its number</translation>
    </message>
    <message>
        <source>没有%1核算项目“%2”</source>
        <translation>there is no %1 item "%2"</translation>
    </message>
    <message>
        <source>%1核算项目 %2 不是明细项目</source>
        <translation>the %1 item %2 is not a detail-level item</translation>
    </message>
    <message>
        <source>科目 %1 没有%2核算项目：请让%3空着</source>
        <translation>account %1 has no %2 item: leave its %3 empty</translation>
    </message>
    <message>
        <source>没有科目：请填写%1</source>
        <translation>no account: fill in its %1</translation>
    </message>
    <message>
        <source>没有明细科目“%1”</source>
        <translation>there is no detail-level account "%1"</translation>
    </message>
    <message>
        <source>没有比例：请填写%1</source>
        <translation>no rate: fill in its %1</translation>
    </message>
    <message>
        <source>未知的语言“%1”；可用的语言有 %2</source>
        <translation>Unknown language "%1"; known are %2</translation>
    </message>
    <message>
        <source>无法创建数据文件夹 %1</source>
        <translation>Cannot create the data folder %1</translation>
    </message>
    <message>
        <source>无法写入 %1：%2</source>
        <translation>Cannot write %1: %2</translation>
    </message>
    <message>
        <source>电子表格库无法创建它</source>
        <translation>the spreadsheet library cannot start it</translation>
    </message>
    <message>
        <source>工作表不能命名为“%1”</source>
        <translation>no sheet can be named "%1"</translation>
    </message>
    <message>
        <source>一个工作表最多容纳 %1 行</source>
        <translation>a sheet holds at most %1 lines</translation>
    </message>
    <message>
        <source>它是文件夹</source>
        <translation>it is a folder</translation>
    </message>
    <message>
        <source>%1 已经存在；请指定另一个文件，或加 --force 替换它</source>
        <translation>%1 is there already; name another file, or add --force to replace it</translation>
    </message>
    <message>
        <source>正在导出留待手工调整的卡片</source>
        <translation>Exporting the cards left for manual work</translation>
    </message>
    <message>
        <source>已将留待手工调整的 %2 张卡片的 %1 行写入 %3。</source>
        <translation>Wrote %1 lines for the %2 cards left for manual work to %3.</translation>
    </message>
    <message>
        <source>这一行与第 %1 行重复：部门、科目和核算项目都相同</source>
        <translation>the line repeats line %1: the same department, account and items</translation>
    </message>
    <message>
        <source>卡片 %1：部门 %2 没有行；卡片的每个部门都需要比例合计为 100% 的行</source>
        <translation>card %1: the department %2 has no line; each of the card's departments needs lines whose rates make 100%</translation>
    </message>
    <message>
        <source>卡片 %2 上部门 %1 的比例合计为 %3%：比例是百分数，一半请写 50，不是 0.5</source>
        <translation>the rates of department %1 on card %2 make %3%: rates are percent, so write 50 for half, not 0.5</translation>
    </message>
    <message>
        <source>卡片 %2 上部门 %1 的比例合计为 %3%，不是 100%</source>
        <translation>the rates of department %1 on card %2 make %3%, not 100%</translation>
    </message>
    <message>
        <source>%1 中有 1 处错误；没有保存任何内容</source>
        <translation>1 fault in %1; nothing was saved</translation>
    </message>
    <message>
        <source>%2 中有 %1 处错误；没有保存任何内容</source>
        <translation>%1 faults in %2; nothing was saved</translation>
    </message>
    <message>
        <source>卡片 %1 没有%2：请保持导出时写的这一列</source>
        <translation>card %1 has no %2: keep that column as the export wrote it</translation>
    </message>
    <message>
        <source>卡片 %1 在导出后已被修改（其部门或费用分配行与导出时不同）；请重新导出</source>
        <translation>card %1 has changed since the export (its departments or expense rows are not the ones exported); export it again</translation>
    </message>
    <message>
        <source>卡片 %1 留待手工调整，但不在工作表中；卡片要一起保存，请逐张填写</source>
        <translation>card %1 is left for manual work but not in the worksheet; the cards are saved together, so fill in every one</translation>
    </message>
    <message>
        <source>卡片 %1 没有填写的行；留待手工调整的卡片要一起保存，请逐张填写</source>
        <translation>card %1 has no filled line; the cards left for manual work are saved together, so fill in every one</translation>
    </message>
    <message>
        <source>正在读取留待手工调整的卡片</source>
        <translation>Reading the cards left for manual work</translation>
    </message>
    <message>
        <source>没有留待手工调整的卡片，%1 没有可保存的内容（allocfix check 会列出剩下的）</source>
        <translation>No card is left for manual work, so %1 has nothing to save (allocfix check tells what is left)</translation>
    </message>
    <message>
        <source>正在检查工作表</source>
        <translation>Checking the worksheet</translation>
    </message>
    <message>
        <source>%1 不是留待手工调整的卡片：没有卡片用此编码，或它在导出后已被分配</source>
        <translation>%1 is no card left for manual work: no card has this number, or it has been allocated since the export</translation>
    </message>
    <message>
        <source>%1：%2 张卡片，%3 个费用分配行，没有错误</source>
        <translation>%1: %2 cards, %3 expense rows, no fault</translation>
    </message>
    <message>
        <source>%1 的内容都没有保存：检查工作表之后%2；请检查卡片后重新导出</source>
        <translation>Nothing of %1 was saved: %2 since the worksheet was checked; check the cards and export again</translation>
    </message>
    <message>
        <source>留待手工调整的卡片是 %1 张而不是 %2 张</source>
        <translation>%1 cards instead of %2 are left for manual work</translation>
    </message>
    <message>
        <source>卡片 %1 变成需要手工调整</source>
        <translation>card %1 has come to need manual work</translation>
    </message>
    <message>
        <source>工作表是空的</source>
        <translation>the worksheet is empty</translation>
    </message>
    <message>
        <source>这一行没有指定卡片：请填写%1</source>
        <translation>the line names no card: fill in its %1</translation>
    </message>
    <message>
        <source>%1与同一张卡片第 %2 行的不同</source>
        <translation>the %1 differs from that of line %2 of the same card</translation>
    </message>
    <message>
        <source>列“%1”出现了两次</source>
        <translation>the column "%1" is there twice</translation>
    </message>
    <message>
        <source>列“%1”不是任何科目使用的核算类别</source>
        <translation>the column "%1" names no item class that an account uses</translation>
    </message>
    <message>
        <source>工作表没有列“%1”；请填写 allocfix export 写出的工作表</source>
        <translation>the worksheet has no column "%1"; fill in the worksheet that allocfix export wrote</translation>
    </message>
    <message>
        <source>工作表没有这些列：%1；请填写 allocfix export 写出的工作表</source>
        <translation>the worksheet has no columns %1; fill in the worksheet that allocfix export wrote</translation>
    </message>
    <message>
        <source>“%1”和“%2”</source>
        <translation>"%1" and "%2"</translation>
    </message>
    <message>
        <source>“%1”、%2</source>
        <translation>"%1", %2</translation>
    </message>
    <message>
        <source>无法读取：%1</source>
        <translation>cannot be read: %1</translation>
    </message>
    <message>
        <source>无法写入 %1：磁盘没有剩余空间。请腾出空间后重试。</source>
        <translation>Cannot write %1: the disk has no room left. Make room and try again.</translation>
    </message>
    <message>
        <source>%1；没有保存任何内容（--dry-run）。</source>
        <translation>%1; nothing was saved (--dry-run).</translation>
    </message>
    <message>
        <source>导入会先自动调整 %1 张卡片。</source>
        <translation>The import adjusts %1 cards automatically first.</translation>
    </message>
    <message>
        <source>已先自动调整 %1 张卡片，与向导相同。</source>
        <translation>Adjusted %1 cards automatically first, as the wizard does.</translation>
    </message>
    <message>
        <source>正在保存 %1 张卡片的费用分配行……</source>
        <translation>Saving the expense rows of %1 cards...</translation>
    </message>
    <message>
        <source>%1；已保存。</source>
        <translation>%1; saved.</translation>
    </message>
    <message>
        <source>调整已完成：没有留待手工调整的卡片。</source>
        <translation>The adjustment is complete: no card is left for manual work.</translation>
    </message>
    <message>
        <source>有 %1 张卡片留待手工调整（allocfix export 会把它们写成工作表）：</source>
        <translation>%1 cards are left for manual work (allocfix export writes them as a worksheet):</translation>
    </message>
    <message>
        <source>未知选项“%1”。</source>
        <translation>Unknown option '%1'.</translation>
    </message>
    <message>
        <source>未知选项：%1。</source>
        <translation>Unknown options: %1.</translation>
    </message>
    <message>
        <source>“%1”后缺少值。</source>
        <translation>Missing value after '%1'.</translation>
    </message>
    <message>
        <source>“%1”后不应有值。</source>
        <translation>Unexpected value after '%1'.</translation>
    </message>
    <message>
        <source>--demo 的卡片数是 1 到 %1 之间的数，不是“%2”（新账套文件请写作 ./%2）</source>
        <translation>--demo takes a number of cards from 1 to %1, not "%2" (name a new account set file as ./%2)</translation>
    </message>
    <message>
        <source>--demo：%1 张卡片超出范围（1 到 %2）</source>
        <translation>--demo: %1 cards is out of range (1 to %2)</translation>
    </message>
    <message>
        <source>--language 需要语言代码，如 CHS 或 ENG</source>
        <translation>--language needs a language code, such as CHS or ENG</translation>
    </message>
    <message>
        <source>请用 -o 指定要写的文件，如 -o worksheet.xlsx</source>
        <translation>Name the file to write with -o, such as -o worksheet.xlsx</translation>
    </message>
    <message>
        <source>-o：请指定 .xlsx 或 .csv 文件，不是“%1”</source>
        <translation>-o: name a .xlsx or .csv file, not "%1"</translation>
    </message>
    <message>
        <source>请给出要导入的工作表；若不是演示账套，在它前面给出账套：allocfix import [account-set] worksheet.csv</source>
        <translation>Give the worksheet to import, and the account set before it if it is not the demo set: allocfix import [account-set] worksheet.csv</translation>
    </message>
    <message>
        <source>请只给出一个账套，不是 %1 个</source>
        <translation>Give one account set, not %1</translation>
    </message>
    <message>
        <source>--format 是 text 或 json，不是“%1”</source>
        <translation>--format is text or json, not "%1"</translation>
    </message>
    <message>
        <source>--since 的日期写作 YYYY-MM-DD，不是“%1”</source>
        <translation>--since takes a day as YYYY-MM-DD, not "%1"</translation>
    </message>
    <message>
        <source>--force 只能与 --demo 一起使用</source>
        <translation>--force goes only with --demo</translation>
    </message>
    <message>
        <source>--screenshot 需要文件名</source>
        <translation>--screenshot needs a file name</translation>
    </message>
    <message>
        <source>--screenshot-page 只能与 --screenshot 一起使用</source>
        <translation>--screenshot-page goes only with --screenshot</translation>
    </message>
    <message>
        <source>--screenshot-page 只认 intro 和 manual</source>
        <translation>--screenshot-page takes only intro or manual</translation>
    </message>
    <message>
        <source>%1，共 %2</source>
        <translation>%1 of %2</translation>
    </message>
    <message>
        <source>没有可用的显示（请设置 DISPLAY，或在 xvfb-run 下运行）</source>
        <translation>no display is available (set DISPLAY, or run under xvfb-run)</translation>
    </message>
    <message>
        <source>一个意外的错误结束了程序</source>
        <translation>an unexpected error ended the program</translation>
    </message>
    <message>
        <source>缺少要导入的工作表：给出的是账套。请写作 allocfix import [account-set] worksheet.csv</source>
        <translation>The worksheet to import is missing: what was given is an account set. Write allocfix import [account-set] worksheet.csv</translation>
    </message>
    <message>
        <source>“%1”不是 allocfix 的命令；是要用“%2”吗？（allocfix help 列出所有命令；名为 %1 的账套文件请写作 ./%1）</source>
        <translation>'%1' is not an allocfix command; did you mean '%2'? (allocfix help lists the commands; write an account set file of that name as ./%1)</translation>
    </message>
    <message>
        <source>“%1”不是 allocfix 的命令（allocfix help 列出所有命令；名为 %1 的账套文件请写作 ./%1）</source>
        <translation>'%1' is not an allocfix command (allocfix help lists the commands; write an account set file of that name as ./%1)</translation>
    </message>
    <message>
        <source>“%1”不是 allocfix 的命令；是要用“%2”吗？（allocfix help 列出所有命令）</source>
        <translation>'%1' is not an allocfix command; did you mean '%2'? (allocfix help lists the commands)</translation>
    </message>
    <message>
        <source>“%1”不是 allocfix 的命令（allocfix help 列出所有命令）</source>
        <translation>'%1' is not an allocfix command (allocfix help lists the commands)</translation>
    </message>
    <message>
        <source>请只给出一个命令，不是 %1 个</source>
        <translation>Give one command, not %1</translation>
    </message>
    <message>
        <source>-o - 把表格写到标准输出，--format json 也是；请只用其一</source>
        <translation>-o - writes the table to standard output, and so does --format json; use one of them</translation>
    </message>
    <message>
        <source>无法创建临时文件夹：%1</source>
        <translation>Cannot create a temporary folder: %1</translation>
    </message>
    <message>
        <source>无法读取标准输入：%1</source>
        <translation>Cannot read standard input: %1</translation>
    </message>
    <message>
        <source>标准输入</source>
        <translation>stdin</translation>
    </message>
    <message>
        <source>标准输出</source>
        <translation>stdout</translation>
    </message>
    <message>
        <source>无法创建临时文件：%1</source>
        <translation>Cannot create a temporary file: %1</translation>
    </message>
    <message>
        <source>无法保存标准输入的内容：%1</source>
        <translation>Cannot keep what standard input gave: %1</translation>
    </message>
    <message>
        <source>无法写标准输出：%1</source>
        <translation>Cannot write to standard output: %1</translation>
    </message>
</context>
</TS>
