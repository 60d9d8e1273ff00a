<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>ulm</name>
    <message>
        <source>无法写入设置文件 %1</source>
        <translation>Cannot write the settings file %1</translation>
    </message>
    <message>
        <source>“%1”不是应用程序名</source>
        <translation>"%1" is not an application name</translation>
    </message>
    <message>
        <source>账套中没有 FAlterID 为 %1 的卡片</source>
        <translation>The account set has no card with FAlterID %1</translation>
    </message>
    <message>
        <source>“%1”不是等待手工调整的卡片的序号（1 到 %2）</source>
        <translation>"%1" is not a position of the cards waiting for manual adjustment (1 to %2)</translation>
    </message>
    <message>
        <source>没有给出分配</source>
        <translation>no allocations were given</translation>
    </message>
    <message>
        <source>没有等待手工调整的卡片；请重新检查卡片</source>
        <translation>no cards are waiting for manual adjustment; check the cards again</translation>
    </message>
    <message>
        <source>序号 %1 没有费用分配行列表</source>
        <translation>position %1 holds no list of expense rows</translation>
    </message>
    <message>
        <source>缺少卡片 %1（序号 %2）；等待手工调整的卡片要一起保存</source>
        <translation>card %1 (position %2) is missing; the cards waiting for manual adjustment are saved together</translation>
    </message>
    <message>
        <source>卡片查看器没有得到要显示的卡片</source>
        <translation>The card viewer was given no card to show</translation>
    </message>
    <message>
        <source>GetList 不接受条件；请在记录集中查找</source>
        <translation>GetList takes no condition; search the record set instead</translation>
    </message>
    <message>
        <source>第 %1 行：科目 %2 不存在</source>
        <translation>row %1: account %2 does not exist</translation>
    </message>
    <message>
        <source>第 %1 行：科目 %2 不是明细科目</source>
        <translation>row %1: account %2 is not a detail-level account</translation>
    </message>
    <message>
        <source>科目 %1 在此位置的核算类别是 %2，不是 %3</source>
        <translation>account %1 has item class %2 in this place, not %3</translation>
    </message>
    <message>
        <source>核算项目 %1 不属于核算类别 %2</source>
        <translation>item %1 does not belong to item class %2</translation>
    </message>
    <message>
        <source>核算项目 %1 不是明细项目</source>
        <translation>item %1 is not a detail-level item</translation>
    </message>
    <message>
        <source>第 %1 行没有 FAlterID</source>
        <translation>row %1 has no FAlterID</translation>
    </message>
    <message>
        <source>第 %1 行属于 FAlterID 为 %2 的卡片；请重新检查卡片</source>
        <translation>row %1 belongs to the card with FAlterID %2; check the cards again</translation>
    </message>
    <message>
        <source>第 %1 行没有部门（原有的行）</source>
        <translation>row %1 has no department (a legacy row)</translation>
    </message>
    <message>
        <source>第 %1 行：部门 %2 不使用这张卡片</source>
        <translation>row %1: department %2 does not use this card</translation>
    </message>
    <message>
        <source>第 %1 行与第 %2 行重复：部门、科目和核算项目都相同</source>
        <translation>row %1 repeats row %2: the same department, account and items</translation>
    </message>
    <message>
        <source>部门 %1 没有费用分配行</source>
        <translation>department %1 has no expense row</translation>
    </message>
    <message>
        <source>部门 %1 的比例合计为 %2，不是 100%</source>
        <translation>the rates of department %1 sum to %2, not 100%</translation>
    </message>
    <message>
        <source>没有保存任何内容。卡片 %1（序号 %2）：%3</source>
        <translation>Nothing was saved. Card %1 (position %2): %3</translation>
    </message>
    <message>
        <source>第 %1 行：科目 %2 的每个核算类别都需要一个核算项目（共 %3 个）；该行有 %4 个</source>
        <translation>row %1: account %2 needs one item per item class (%3 in all); the row has %4</translation>
    </message>
    <message>
        <source>第 %1 行，第 %2 个核算项目：</source>
        <translation>row %1, item %2:</translation>
    </message>
    <message>
        <source>没有保存任何内容：%1</source>
        <translation>Nothing was saved: %1</translation>
    </message>
    <message>
        <source>序号 %1 给了两次</source>
        <translation>position %1 was given twice</translation>
    </message>
    <message>
        <source>第 %1 行没有科目</source>
        <translation>row %1 has no account</translation>
    </message>
    <message>
        <source>第 %1 行：科目的一个核算类别没有核算项目</source>
        <translation>row %1: an item class of its account has no item</translation>
    </message>
    <message>
        <source>第 %1 行：比例必须大于 0 且不大于 1</source>
        <translation>row %1: the rate must be above 0 and at most 1</translation>
    </message>
</context>
</TS>
