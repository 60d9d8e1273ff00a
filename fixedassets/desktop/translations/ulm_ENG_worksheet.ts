<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>ulm</name>
    <message>
        <source>手工调整卡片</source>
        <translation>Manual cards</translation>
    </message>
    <message>
        <source>部门列表</source>
        <translation>Departments</translation>
    </message>
    <message>
        <source>科目列表</source>
        <translation>Accounts</translation>
    </message>
    <message>
        <source>核算项目列表</source>
        <translation>Items</translation>
    </message>
    <message>
        <source>审计日志</source>
        <translation>Audit log</translation>
    </message>
</context>
<context>
    <name>ulm.header</name>
    <message>
        <source>序号</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>资产编码</source>
        <translation>Asset number</translation>
    </message>
    <message>
        <source>资产名称</source>
        <translation>Asset name</translation>
    </message>
    <message>
        <source>使用部门及比例</source>
        <translation>Departments and shares</translation>
    </message>
    <message>
        <source>原科目</source>
        <translation>Old account</translation>
    </message>
    <message>
        <source>原核算项目</source>
        <translation>Old items</translation>
    </message>
    <message>
        <source>原比例(%)</source>
        <translation>Old rate (%)</translation>
    </message>
    <message>
        <source>分配部门</source>
        <translation>Department</translation>
    </message>
    <message>
        <source>科目编码</source>
        <translation>Account number</translation>
    </message>
    <message>
        <source>核算项目(%1)</source>
        <translation>Item (%1)</translation>
    </message>
    <message>
        <source>分配比例(%)</source>
        <translation>Rate (%)</translation>
    </message>
    <message>
        <source>校验码</source>
        <translation>Check code</translation>
    </message>
    <message>
        <source>保存号</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>保存时间</source>
        <translation>Saved at</translation>
    </message>
    <message>
        <source>用户</source>
        <translation>User</translation>
    </message>
    <message>
        <source>调整前</source>
        <translation>Before</translation>
    </message>
    <message>
        <source>调整后</source>
        <translation>After</translation>
    </message>
</context>
</TS>
