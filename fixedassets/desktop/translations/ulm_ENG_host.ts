<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>ulm</name>
    <message>
        <source>查找：</source>
        <translation>Find:</translation>
    </message>
    <message>
        <source>输入编码或名称的一部分</source>
        <translation>Type part of a number or name</translation>
    </message>
    <message>
        <source>非明细</source>
        <translation>Not detail</translation>
    </message>
    <message>
        <source>是</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>选择科目</source>
        <translation>Choose an Account</translation>
    </message>
    <message>
        <source>选择核算项目</source>
        <translation>Choose an Accounting Item</translation>
    </message>
    <message>
        <source>卡片查看</source>
        <translation>Card</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>卡片内码</source>
        <translation>Card ID</translation>
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
        <source>入账日期</source>
        <translation>Entry date</translation>
    </message>
    <message>
        <source>资产类别</source>
        <translation>Category</translation>
    </message>
    <message>
        <source>规格型号</source>
        <translation>Model</translation>
    </message>
    <message>
        <source>存放地点</source>
        <translation>Location</translation>
    </message>
    <message>
        <source>原值</source>
        <translation>Original value</translation>
    </message>
    <message>
        <source>累计折旧</source>
        <translation>Accumulated depreciation</translation>
    </message>
    <message>
        <source>净值</source>
        <translation>Net value</translation>
    </message>
    <message>
        <source>使用年限(月)</source>
        <translation>Useful life (months)</translation>
    </message>
    <message>
        <source>折旧方法</source>
        <translation>Depreciation method</translation>
    </message>
    <message>
        <source>使用状况</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>使用部门</source>
        <translation>Departments</translation>
    </message>
    <message>
        <source>错误号：</source>
        <translation>Error number: </translation>
    </message>
    <message>
        <source>来源：</source>
        <translation>Source: </translation>
    </message>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>清除</source>
        <extracomment>Names the button that clears a lookup's filter.</extracomment>
        <translation>Clear</translation>
    </message>
</context>
<context>
    <name>ulm.header</name>
    <message>
        <source>编码</source>
        <translation>Number</translation>
    </message>
    <message>
        <source>名称</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>明细</source>
        <translation>Detail</translation>
    </message>
    <message>
        <source>项目</source>
        <translation>Field</translation>
    </message>
    <message>
        <source>内容</source>
        <translation>Value</translation>
    </message>
</context>
</TS>
