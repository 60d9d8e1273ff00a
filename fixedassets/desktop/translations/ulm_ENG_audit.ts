<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>ulm</name>
    <message>
        <source>你的角色只能读取这个账套（%1）</source>
        <translation>your role may only read this account set (%1)</translation>
    </message>
    <message>
        <source>你的角色不能创建、升级或替换这个账套，也不能授予它的角色（%1）</source>
        <translation>your role may not create, upgrade or replace this account set, nor grant its roles (%1)</translation>
    </message>
    <message>
        <source>角色只用于 PostgreSQL 上的账套；SQLite 账套文件由它的权限（0600）保护</source>
        <translation>Roles are for an account set on PostgreSQL; an SQLite account set file is guarded by its mode (0600)</translation>
    </message>
    <message>
        <source>已为账套 %1 建立角色 allocfix_owner、allocfix_accountant 和 allocfix_viewer 并授予权限</source>
        <translation>Created the roles allocfix_owner, allocfix_accountant and allocfix_viewer and brought the account set %1 under them</translation>
    </message>
    <message>
        <source>第 %1 条记录（保存号 %2）被修改过：它的内容与它的哈希不符</source>
        <translation>entry %1 (save %2) was edited: its fields no longer match its hash</translation>
    </message>
    <message>
        <source>第 %1 条记录（保存号 %2）是插入的：它后面的记录接在它前面的记录上</source>
        <translation>entry %1 (save %2) was inserted: the entry after it chains on the entry before it</translation>
    </message>
    <message>
        <source>第 %1 条记录（保存号 %2）之前的记录被删除了：它所接的记录已不在日志中</source>
        <translation>an entry before entry %1 (save %2) was deleted: the entry it chains on is no longer in the log</translation>
    </message>
    <message>
        <source>第 %1 条记录（保存号 %2）不在原来的位置（被调换或移动）：它写在第 %3 条之后</source>
        <translation>entry %1 (save %2) is out of place (swapped or moved): it was written after entry %3</translation>
    </message>
    <message>
        <source>审计日志的哈希链条断了：%1</source>
        <translation>The audit log's hash chain is broken: %1</translation>
    </message>
    <message>
        <source>%1 条记录，链条完整</source>
        <translation>%1 entries, chain intact</translation>
    </message>
    <message>
        <source>最后一条的哈希：%1</source>
        <translation>last hash: %1</translation>
    </message>
    <message>
        <source>（无）</source>
        <translation>(none)</translation>
    </message>
    <message>
        <source>--verify 检查整个日志，不写表格：请去掉 -o、--force 和 --since</source>
        <translation>--verify checks the whole log and writes no table: leave out -o, --force and --since</translation>
    </message>
    <message>
        <source>请给出 PostgreSQL 账套：allocfix roles postgresql://...</source>
        <translation>Give the PostgreSQL account set: allocfix roles postgresql://...</translation>
    </message>
    <message>
        <source>服务器没有告知用户的权限：%1</source>
        <translation>The server did not tell the user&apos;s rights: %1</translation>
    </message>
    <message>
        <source>审计日志只接受新条目；其条目不能修改或删除</source>
        <translation>the audit log takes new entries only; its entries cannot be changed or deleted</translation>
    </message>
</context>
</TS>
