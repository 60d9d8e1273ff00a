<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>ulm</name>
    <message>
        <source>账套卡片数据调整</source>
        <translation>Card Data Adjustment</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>帮助</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>下一步(&amp;N) &gt;</source>
        <translation>&amp;Next &gt;</translation>
    </message>
    <message>
        <source>&lt; 上一步(&amp;B)</source>
        <translation>&lt; &amp;Back</translation>
    </message>
    <message>
        <source>step3</source>
        <translation>Check and adjust</translation>
    </message>
    <message>
        <source>step2</source>
        <translation>Manual adjustment</translation>
    </message>
    <message>
        <source>Introduction</source>
        <translation>Introduction</translation>
    </message>
    <message>
        <source>开始调整</source>
        <translation>Adjust Cards</translation>
    </message>
    <message>
        <source>检查卡片</source>
        <translation>Check Cards</translation>
    </message>
    <message>
        <source>开始调整：</source>
        <translation>Start the adjustment:</translation>
    </message>
    <message>
        <source>卡片数据调整所需的全部信息均已获知，选择“开始调整”以开始调整卡片。或者选择“检查卡片”以检查是否有可正确调整的卡片信息。</source>
        <translation>All the information the card data adjustment needs is known. Choose "Adjust Cards" to adjust them, or "Check Cards" to see which cards can be adjusted.</translation>
    </message>
    <message>
        <source>进行数据调整前,请做账套备份!</source>
        <translation>Back up the account set before you adjust its data!</translation>
    </message>
    <message>
        <source>请选择“下一步”开始卡片调整的过程。</source>
        <translation>Choose "Next" to begin the card adjustment.</translation>
    </message>
    <message>
        <source>欢迎！</source>
        <translation>Welcome!</translation>
    </message>
    <message>
        <source>欢迎您使用Q/7系统的标准卡片数据调整功能!此功能主要针对多部门使用的卡片进调整</source>
        <translation>Welcome to the standard card data adjustment. It adjusts the cards of assets that are used by several departments.</translation>
    </message>
    <message>
        <source>查看卡片</source>
        <translation>View Card</translation>
    </message>
    <message>
        <source>折旧费用删除(&amp;D)</source>
        <translation>&amp;Delete Expense</translation>
    </message>
    <message>
        <source>折旧费用编辑(&amp;E)</source>
        <translation>&amp;Edit Expense</translation>
    </message>
    <message>
        <source>折旧费用增加(&amp;A)</source>
        <translation>&amp;Add Expense</translation>
    </message>
    <message>
        <source>所有分配完成</source>
        <translation>Finish</translation>
    </message>
    <message>
        <source>最后一条</source>
        <translation>Last</translation>
    </message>
    <message>
        <source>最前一条</source>
        <translation>First</translation>
    </message>
    <message>
        <source>下一条</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>上一条</source>
        <translation>Previous</translation>
    </message>
    <message>
        <source>共</source>
        <translation>Total:</translation>
    </message>
    <message>
        <source>卡片参考信息：</source>
        <translation>Card reference:</translation>
    </message>
    <message>
        <source>部门分配信息：</source>
        <translation>Department allocation:</translation>
    </message>
    <message>
        <source>折旧费用分配信息：</source>
        <translation>Depreciation expense allocation:</translation>
    </message>
    <message>
        <source>你正在手工进行多折旧费用重新分配!</source>
        <translation>You are re-allocating depreciation expense by hand!</translation>
    </message>
    <message>
        <source>当前第</source>
        <translation>Current:</translation>
    </message>
    <message>
        <source>复制分配(&amp;C)...</source>
        <translation>&amp;Copy Allocation...</translation>
    </message>
    <message>
        <source>把当前卡片的折旧费用分配复制到部门和原科目都与它相同的其他卡片</source>
        <extracomment>Tooltip of the copy command.</extracomment>
        <translation>Copy this card's expense allocation to the other cards with the same departments and legacy accounts</translation>
    </message>
</context>
<context>
    <name>ulm.header</name>
    <message>
        <source>部门</source>
        <translation>Dept.</translation>
    </message>
    <message>
        <source>科目</source>
        <translation>Account</translation>
    </message>
    <message>
        <source>核算项目</source>
        <translation>Items</translation>
    </message>
    <message>
        <source>比例 %</source>
        <translation>Rate %</translation>
    </message>
</context>
</TS>
