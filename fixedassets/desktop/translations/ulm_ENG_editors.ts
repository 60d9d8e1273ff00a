<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>ulm</name>
    <message>
        <source>岚岫提示</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>折旧费用分配情况</source>
        <translation>Depreciation Expense Allocation</translation>
    </message>
    <message>
        <source>新增</source>
        <translation>New</translation>
    </message>
    <message>
        <source>查看</source>
        <translation>View</translation>
    </message>
    <message>
        <source>编辑</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>部门：</source>
        <translation>Dept.:</translation>
    </message>
    <message>
        <source>科目：</source>
        <translation>Acct.:</translation>
    </message>
    <message>
        <source>分配比例：</source>
        <translation>Allocation:</translation>
    </message>
    <message>
        <source>%</source>
        <translation>%</translation>
    </message>
    <message>
        <source>保存(&amp;S)</source>
        <translation>&amp;Save</translation>
    </message>
    <message>
        <source>关闭(&amp;C)</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <source>新增(&amp;A)</source>
        <translation>&amp;Add</translation>
    </message>
    <message>
        <source>选择部门</source>
        <translation>Choose the department</translation>
    </message>
    <message>
        <source>选择科目 (F7)</source>
        <translation>Choose the account (F7)</translation>
    </message>
    <message>
        <source>核算项目</source>
        <extracomment>The name of the item grid, as assistive technology reads it.</extracomment>
        <translation>Accounting items</translation>
    </message>
    <message>
        <source>双击或按 F7 选择核算项目</source>
        <translation>Double-click or press F7 to choose the item</translation>
    </message>
    <message>
        <source>数据已变化，是否保存？</source>
        <translation>The data has changed. Do you want to save it?</translation>
    </message>
    <message>
        <source>请选择部门！</source>
        <translation>Please choose a department!</translation>
    </message>
    <message>
        <source>请输入或者选择科目！</source>
        <translation>Please enter or choose an account!</translation>
    </message>
    <message>
        <source>缺少核算项目数据！</source>
        <translation>An accounting item is missing!</translation>
    </message>
    <message>
        <source>输入的比例范围必须在0.01-100之间！</source>
        <translation>The rate must be between 0.01 and 100!</translation>
    </message>
    <message>
        <source>必须输入明细级资料！</source>
        <translation>Please choose a detail-level item!</translation>
    </message>
    <message>
        <source>未找到编码对应的数据！</source>
        <translation>Nothing was found for this code!</translation>
    </message>
    <message>
        <source>编码“</source>
        <translation>The code “</translation>
    </message>
    <message>
        <source>”不是最明细级的编码！</source>
        <translation>” is not a detail-level code!</translation>
    </message>
    <message>
        <source>部门分配情况</source>
        <translation>Departments</translation>
    </message>
    <message>
        <source>固定资产：</source>
        <translation>Fixed asset:</translation>
    </message>
    <message>
        <source>确定(&amp;S)...</source>
        <translation>&amp;Select</translation>
    </message>
    <message>
        <source>增加(&amp;A)...</source>
        <translation>&amp;Add...</translation>
    </message>
    <message>
        <source>编辑(&amp;E)...</source>
        <translation>&amp;Edit...</translation>
    </message>
    <message>
        <source>删除(&amp;D)</source>
        <translation>&amp;Delete</translation>
    </message>
    <message>
        <source>恢复(&amp;R)</source>
        <translation>&amp;Restore</translation>
    </message>
</context>
<context>
    <name>ulm.header</name>
    <message>
        <source>核算类别</source>
        <translation>Item class</translation>
    </message>
</context>
</TS>
