<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>ulm</name>
    <message>
        <source>第 %1 张卡片还有未指定部门的原折旧费用分配，请删除或修改！</source>
        <extracomment>A line of the finish check; %1 is the card's position.</extracomment>
        <translation>Card %1 still has old expense rows without a department: delete or change them!</translation>
    </message>
    <message>
        <source>第 %1 张卡片第 %2 行的部门“%3”不是这张卡片的使用部门，请删除或修改！</source>
        <extracomment>A line of the finish check; %1 is the card's position, %2 the row's, %3 the department's name.</extracomment>
        <translation>Card %1, row %2: department '%3' does not use this card: delete or change the row!</translation>
    </message>
    <message>
        <source>第 %1 张卡片第 %2 行的科目或核算项目不完整！</source>
        <extracomment>A line of the finish check; %1 is the card's position, %2 the row's.</extracomment>
        <translation>Card %1, row %2: the account or its accounting items are incomplete!</translation>
    </message>
    <message>
        <source>第 %1 张卡片第 %2 行的分配比例必须在0.01-100之间！</source>
        <extracomment>A line of the finish check; %1 is the card's position, %2 the row's.</extracomment>
        <translation>Card %1, row %2: the rate must lie between 0.01 and 100!</translation>
    </message>
    <message>
        <source>未指定部门</source>
        <extracomment>In the totals line: the share of the rows without a department of the card.</extracomment>
        <translation>No department</translation>
    </message>
    <message>
        <source>卡片服务没有保存折旧费用分配信息，什么也没有保存。</source>
        <translation>The card service did not save the expense allocations; nothing was saved.</translation>
    </message>
    <message>
        <source>当前卡片的折旧费用分配信息未能读取，不能修改！是否重新读取该卡片？</source>
        <translation>The expense allocation of this card could not be read, so it cannot be changed. Read the card again?</translation>
    </message>
</context>
</TS>
