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
</context>
</TS>
