<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>ulm</name>
    <message>
        <source>不能写入 %1：它是文件夹</source>
        <translation>Cannot write %1: it is a folder</translation>
    </message>
    <message>
        <source>不能写入 %1：它是命名管道，不是普通文件</source>
        <translation>Cannot write %1: it is a named pipe, not a regular file</translation>
    </message>
    <message>
        <source>不能写入 %1：它是套接字，不是普通文件</source>
        <translation>Cannot write %1: it is a socket, not a regular file</translation>
    </message>
    <message>
        <source>不能写入 %1：它是设备，不是普通文件</source>
        <translation>Cannot write %1: it is a device, not a regular file</translation>
    </message>
    <message>
        <source>不能写入 %1：它就是正在读取的账套（%2）</source>
        <translation>Cannot write %1: it is the account set being read (%2)</translation>
    </message>
    <message>
        <source>不能写入 %1：它是指向 %2 的符号链接；加上 --force 可替换链接本身</source>
        <translation>Cannot write %1: it is a symbolic link to %2; add --force to replace the link itself</translation>
    </message>
    <message>
        <source>它像是连接字符串，不是文件路径；PostgreSQL 账套请写作 postgresql://用户@主机/数据库</source>
        <translation>it reads as a connection string, not a file path; write a PostgreSQL account set as postgresql://user@host/database</translation>
    </message>
    <message>
        <source>“password=” 只能作为“?”之后的参数出现</source>
        <translation>"password=" may stand only as a parameter after "?"</translation>
    </message>
</context>
</TS>
