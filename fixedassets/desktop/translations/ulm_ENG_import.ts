<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>ulm</name>
    <message>
        <source>工作表超过 %1 行；导入最多读取 %1 行</source>
        <translation>the worksheet has more than %1 lines; the import reads at most %1</translation>
    </message>
    <message>
        <source>该行超过 %1 KB；导入读取的每行最多 %1 KB</source>
        <translation>the line is longer than %1 KB; the import reads lines of at most %1 KB</translation>
    </message>
    <message>
        <source>工作表有 %1 MB；导入读取的工作表最多 %2 MB</source>
        <translation>the worksheet has %1 MB; the import reads a worksheet of at most %2 MB</translation>
    </message>
    <message>
        <source>有一个单元格超过 %1 KB；导入读取的单元格最多 %1 KB</source>
        <translation>a cell is longer than %1 KB; the import reads cells of at most %1 KB</translation>
    </message>
    <message>
        <source>不是普通文件；导入只读取另存为 CSV 的工作表文件</source>
        <translation>is not a regular file; the import reads only a worksheet saved as a CSV file</translation>
    </message>
    <message>
        <source>还有 %1 个错误</source>
        <translation>and %1 more faults</translation>
    </message>
    <message>
        <source>资产编码 %1 不是本行校验码所属的卡片（%2）；请保持每行的资产编码和校验码与导出时一致</source>
        <translation>the asset number %1 names another card than this line's check code does (%2); keep each line's asset number and check code as the export wrote them</translation>
    </message>
    <message>
        <source>%1 是从另一个账套导出的，不是从 %2 导出的；没有保存任何内容：请从本账套导出工作表</source>
        <translation>%1 was exported from another account set, not from %2; nothing was saved: export the worksheet from this account set</translation>
    </message>
    <message>
        <source>%1：工作表太大，无法读取（%2 MB）；没有保存任何内容</source>
        <translation>%1: the worksheet is too large to read (%2 MB); nothing was saved</translation>
    </message>
    <message>
        <source>导入不读取 .%1 格式；请在电子表格程序中另存为“Excel 工作簿 (.xlsx)”再导入</source>
        <translation>the import does not read the .%1 format; save it as "Excel Workbook (.xlsx)" in your spreadsheet program and import that</translation>
    </message>
    <message>
        <source>单元格超出了电子表格的 %1 列</source>
        <translation>a cell lies beyond the %1 columns of a spreadsheet</translation>
    </message>
    <message>
        <source>这一行不是 %1 文本；请在电子表格程序中把工作表另存为“CSV UTF-8”，或用 --encoding 指明文件的编码</source>
        <translation>this line is not %1 text; save the worksheet as "CSV UTF-8" in your spreadsheet program, or name the file's encoding with --encoding</translation>
    </message>
    <message>
        <source>压缩包中的一项展开后超过它声明的 %1 MB 或 %2 MB 的上限；文件已损坏或是恶意构造的</source>
        <translation>an entry of the archive expands beyond the %1 MB it declares or the limit of %2 MB; the file is damaged or was made to harm</translation>
    </message>
    <message>
        <source>压缩包中的一项有一段超过 %1 KB 的连续文本，比任何单元格能容纳的都长；文件已损坏或是恶意构造的</source>
        <translation>an entry of the archive holds a stretch of text longer than %1 KB, more than any cell can hold; the file is damaged or was made to harm</translation>
    </message>
    <message>
        <source>工作簿已加密（设有打开密码）；请在电子表格程序中去掉密码后另存，再导入</source>
        <translation>the workbook is encrypted (it has a password to open); remove the password in your spreadsheet program, save it and import that</translation>
    </message>
    <message>
        <source>不是能读取的电子表格文件（zip 压缩包已损坏）</source>
        <translation>this is no spreadsheet file that can be read (its zip archive is damaged)</translation>
    </message>
    <message>
        <source>压缩包中的 %1 展开后有 %2 MB，超过 %3 MB 的上限；文件已损坏或是恶意构造的</source>
        <translation>the archive's %1 expands to %2 MB, beyond the limit of %3 MB; the file is damaged or was made to harm</translation>
    </message>
    <message>
        <source>无法读取压缩包中的 %1：%2</source>
        <translation>cannot read %1 in the archive: %2</translation>
    </message>
    <message>
        <source>工作簿中没有工作表</source>
        <translation>the workbook has no sheet</translation>
    </message>
    <message>
        <source>工作簿含有宏；导入不读取含宏的工作簿，请在电子表格程序中另存为“Excel 工作簿 (.xlsx)”</source>
        <translation>the workbook has macros; the import does not read a workbook with macros, so save it as "Excel Workbook (.xlsx)" in your spreadsheet program</translation>
    </message>
    <message>
        <source>不是 .ods 电子表格：缺少 content.xml；请在电子表格程序中另存为 .ods 或 .xlsx</source>
        <translation>this is no .ods spreadsheet: content.xml is missing; save it as .ods or .xlsx in your spreadsheet program</translation>
    </message>
    <message>
        <source>工作簿已损坏：%1 第 %2 行：%3</source>
        <translation>the workbook is damaged: %1 line %2: %3</translation>
    </message>
    <message>
        <source>公式没有保存计算结果；请在电子表格程序中重新计算全部公式后保存，再导入</source>
        <translation>the formula was saved without its result; recalculate all formulas in your spreadsheet program, save and import again</translation>
    </message>
    <message>
        <source>工作簿已损坏：数字单元格没有数值</source>
        <translation>the workbook is damaged: a number cell has no value</translation>
    </message>
    <message>
        <source>不认识编码“%1”；可用的编码名见 iconv --list</source>
        <translation>unknown encoding "%1"; iconv --list names the encodings there are</translation>
    </message>
    <message>
        <source>%1: 工作表 "%2" 第 %3 行：%4</source>
        <translation>%1: sheet "%2", row %3: %4</translation>
    </message>
    <message>
        <source>%1: 工作表 "%2" 第 %3 行 %4 列：%5</source>
        <translation>%1: sheet "%2", row %3, column %4: %5</translation>
    </message>
    <message>
        <source>工作簿链接了其他文件（外部链接）；请在电子表格程序中断开链接、保留数值后保存，再导入</source>
        <translation>the workbook links to other files (external links); break the links in your spreadsheet program, keeping the values, save and import that</translation>
    </message>
    <message>
        <source>不是 .xlsx 工作簿：缺少 %1；请在电子表格程序中另存为“Excel 工作簿 (.xlsx)”</source>
        <translation>this is no .xlsx workbook: %1 is missing; save it as "Excel Workbook (.xlsx)" in your spreadsheet program</translation>
    </message>
    <message>
        <source>工作簿已损坏：%1</source>
        <translation>the workbook is damaged: %1</translation>
    </message>
    <message>
        <source>工作簿已损坏：共享文本 %1 不存在</source>
        <translation>the workbook is damaged: there is no shared text %1</translation>
    </message>
    <message>
        <source>工作簿已损坏：数字单元格的值是“%1”</source>
        <translation>the workbook is damaged: a number cell holds "%1"</translation>
    </message>
    <message>
        <source>CSV 工作表的编码（iconv 的名称，如 GB18030、UTF-16），不用猜测的编码。</source>
        <translation>The encoding of a CSV worksheet (by iconv's name, such as GB18030 or UTF-16), instead of the one guessed.</translation>
    </message>
    <message>
        <source>填好后在电子表格程序中直接保存，再用 allocfix import 导入：它读取 .xlsx（推荐）、.ods，以及 UTF-8、UTF-16 或 GB18030 的 CSV。</source>
        <translation>Once filled in, save it as it is in your spreadsheet program and import it with allocfix import: it reads .xlsx (recommended), .ods, and CSV in UTF-8, UTF-16 or GB18030.</translation>
    </message>
</context>
</TS>
