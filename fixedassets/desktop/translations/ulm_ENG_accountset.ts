<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>ulm</name>
    <message>
        <source>账套 %1 已损坏（%2）。没有做任何修改；请从备份恢复。</source>
        <translation>The account set %1 is damaged (%2). Nothing was changed; restore it from a backup.</translation>
    </message>
    <message>
        <source>账套 %1 是只读的：%2。不能在其中调整或保存；请使它可写，或在副本上工作。</source>
        <translation>The account set %1 is read-only: %2. Nothing can be adjusted or saved in it; make it writable, or work on a copy.</translation>
    </message>
    <message>
        <source>%1 是文件夹，不是账套文件；请指定其中的文件</source>
        <translation>%1 is a folder, not an account set file; name the file in it</translation>
    </message>
    <message>
        <source>账套文件 %1 不存在</source>
        <translation>There is no account set file %1</translation>
    </message>
    <message>
        <source>无法创建账套 %1：%2</source>
        <translation>Cannot create the account set %1: %2</translation>
    </message>
    <message>
        <source>无法替换账套 %1：另一个程序正打开它。请在那里关闭后重试。</source>
        <translation>Cannot replace the account set %1: another program has it open. Close it there and try again.</translation>
    </message>
    <message>
        <source>账套 %1 由更新的程序创建（结构版本 %2；本程序最高支持 %3）。请用更新的程序打开。</source>
        <translation>The account set %1 was made by a newer program (schema version %2; this program knows up to %3). Use a newer program to open it.</translation>
    </message>
    <message>
        <source>文件夹 %1 不存在</source>
        <translation>the folder %1 does not exist</translation>
    </message>
    <message>
        <source>账套 %1 不能存储一个值：%2</source>
        <translation>The account set %1 cannot take a value: %2</translation>
    </message>
    <message>
        <source>另一个用户正在修改账套 %1。没有保存任何内容；请稍后重试。（%2）</source>
        <translation>Another user is changing the account set %1. Nothing was saved; try again in a moment. (%2)</translation>
    </message>
    <message>
        <source>账套 %1 没有剩余空间：磁盘或其大小限制已满。没有保存任何内容；请腾出空间后重试。（%2）</source>
        <translation>The account set %1 has no room left: the disk or its size limit is full. Nothing was saved; make room and try again. (%2)</translation>
    </message>
    <message>
        <source>账套 %1 拒绝了一个请求：%2</source>
        <translation>The account set %1 refused a request: %2</translation>
    </message>
    <message>
        <source>%1不是有效的账套位置：%2</source>
        <translation>%1 names no account set: %2</translation>
    </message>
    <message>
        <source>“#”必须写作 %23</source>
        <translation>"#" must be written %23</translation>
    </message>
    <message>
        <source>数据库名不能包含“/”（请写作 %2F）</source>
        <translation>a database name may not contain "/" (write %2F)</translation>
    </message>
    <message>
        <source>数据库名</source>
        <translation>the database name</translation>
    </message>
    <message>
        <source>URL 中没有数据库名</source>
        <translation>the URL names no database</translation>
    </message>
    <message>
        <source>用户名</source>
        <translation>the user</translation>
    </message>
    <message>
        <source>参数名</source>
        <translation>a parameter's name</translation>
    </message>
    <message>
        <source>密码</source>
        <translation>the password</translation>
    </message>
    <message>
        <source>请只给出一个主机，不要多个</source>
        <translation>give one host, not several</translation>
    </message>
    <message>
        <source>IPv6 地址缺少结尾的“]”</source>
        <translation>an IPv6 address needs its closing "]"</translation>
    </message>
    <message>
        <source>主机</source>
        <translation>the host</translation>
    </message>
    <message>
        <source>IPv6 地址后应为“:端口”</source>
        <translation>expected ":port" after the IPv6 address</translation>
    </message>
    <message>
        <source>端口必须是 1 到 65535 之间的数字</source>
        <translation>the port must be a number from 1 to 65535</translation>
    </message>
    <message>
        <source>参数应写作 名称=值</source>
        <translation>expected parameters as name=value</translation>
    </message>
    <message>
        <source>参数值不能包含“;”</source>
        <translation>a parameter's value may not contain ";"</translation>
    </message>
    <message>
        <source>SQLite 文件路径为空</source>
        <translation>the SQLite file path is empty</translation>
    </message>
    <message>
        <source>文件路径不能包含“;”</source>
        <translation>a file path may not contain ";"</translation>
    </message>
    <message>
        <source>文件路径不能包含 NUL 字符</source>
        <translation>a file path may not contain a NUL character</translation>
    </message>
    <message>
        <source>它指向一个文件夹；请指定其中的账套文件</source>
        <translation>it names a folder; name the account set file in it</translation>
    </message>
    <message>
        <source>它是空的</source>
        <translation>it is empty</translation>
    </message>
    <message>
        <source>应为 postgresql://用户@主机:端口/数据库</source>
        <translation>expected postgresql://user@host:port/database</translation>
    </message>
    <message>
        <source>%1是不支持的位置：请使用文件路径、sqlite:路径 或 postgresql://用户@主机:端口/数据库</source>
        <translation>%1 is an unsupported location: use a file path, sqlite:path or postgresql://user@host:port/database</translation>
    </message>
    <message>
        <source>主机属性串中没有指定账套（AcctSet=...）</source>
        <translation>The host property string names no account set (AcctSet=...)</translation>
    </message>
    <message>
        <source>无法通过此数据库驱动批量写入行</source>
        <translation>Rows cannot be written in bulk through this database driver</translation>
    </message>
    <message>
        <source>仅在 SQLite 上逐条语句写入行</source>
        <translation>Rows are written one statement each on SQLite only</translation>
    </message>
    <message>
        <source>无法读取（%1）；不予替换</source>
        <translation>cannot be read (%1); it is not replaced</translation>
    </message>
    <message>
        <source>是文件夹；请指定其中的账套文件</source>
        <translation>is a folder; name the account set file in it</translation>
    </message>
    <message>
        <source>存有其他数据（表 %1）；永不替换</source>
        <translation>holds data of something else (tables %1); it is never replaced</translation>
    </message>
    <message>
        <source>存有由更新的程序创建的账套（结构版本 %1）；要替换请加 --force</source>
        <translation>holds an account set made by a newer program (schema version %1); add --force to replace it</translation>
    </message>
    <message>
        <source>存有一个 %1 张卡片的账套，它不是演示账套；要替换请加 --force</source>
        <translation>holds an account set of %1 cards that is not a demo set; add --force to replace it</translation>
    </message>
    <message>
        <source>%1 不是固定资产账套：%2</source>
        <translation>%1 is not a fixed-asset account set: %2</translation>
    </message>
    <message>
        <source>数据库是空的</source>
        <translation>the database is empty</translation>
    </message>
    <message>
        <source>它存有其他的表</source>
        <translation>it holds other tables</translation>
    </message>
    <message>
        <source>它没有记录结构版本</source>
        <translation>it records no schema version</translation>
    </message>
    <message>
        <source>无法打开账套 %1：%2</source>
        <translation>Cannot open the account set %1: %2</translation>
    </message>
    <message>
        <source>没有安装 Qt SQL 驱动</source>
        <translation>the Qt SQL driver is not installed</translation>
    </message>
    <message>
        <source>服务器没有给出当前用户：%1</source>
        <translation>The server did not name the current user: %1</translation>
    </message>
    <message>
        <source>数据库没有给出原因</source>
        <translation>the database gave no reason</translation>
    </message>
    <message>
        <source>与数据库的连接已断开</source>
        <translation>the connection to the database was lost</translation>
    </message>
    <message>
        <source>服务器不接受修改（transaction_read_only 为 on）</source>
        <translation>the server takes no changes (transaction_read_only is on)</translation>
    </message>
    <message>
        <source>文件 %1 是只读的</source>
        <translation>the file %1 is read-only</translation>
    </message>
    <message>
        <source>其文件夹 %1 是只读的</source>
        <translation>its folder %1 is read-only</translation>
    </message>
    <message>
        <source>PostgreSQL 不能存储含有 NUL 字符（U+0000）的文本</source>
        <translation>PostgreSQL cannot store a text that holds a NUL character (U+0000)</translation>
    </message>
    <message>
        <source>账套 %1：与服务器的连接已断开；没有保存任何内容。请重试。（%2）</source>
        <translation>Account set %1: the connection to the server was lost; nothing was saved. Try again. (%2)</translation>
    </message>
    <message>
        <source>含有错误的 %-转义、不是 UTF-8 的字节或 %00</source>
        <translation>holds a malformed %-escape, bytes that are not UTF-8, or %00</translation>
    </message>
    <message>
        <source>参数值</source>
        <translation>a parameter's value</translation>
    </message>
    <message>
        <source>演示账套每张卡片至少需要两行；除总账的 %1 个部门外，部门要多于每张卡片的行数；除总账的 %2 个费用科目外，还要有更多费用科目</source>
        <translation>A demo account set needs at least two rows per card, more departments than rows per card beyond the ledger's %1 and more expense accounts than the ledger's %2</translation>
    </message>
    <message>
        <source>给出的 PostgreSQL 位置（不重复显示，其中可能含有密码）</source>
        <translation>the PostgreSQL location given (not repeated, it may hold a password)</translation>
    </message>
    <message>
        <source>给出的位置（不重复显示，其中可能含有密码）</source>
        <translation>the location given (not repeated, it may hold a password)</translation>
    </message>
    <message>
        <source>“=” 只能出现在“?”之后的参数中</source>
        <translation>"=" may stand only in the parameters after "?"</translation>
    </message>
    <message>
        <source>“%1”</source>
        <translation>"%1"</translation>
    </message>
    <message>
        <source>有一个参数不是 PostgreSQL 的连接参数</source>
        <translation>a parameter is not one of PostgreSQL's connection parameters</translation>
    </message>
</context>
</TS>
