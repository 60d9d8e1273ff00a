<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>ulm</name>
    <message>
        <source>正在进行卡片数据检查，请稍候...</source>
        <translation>Checking the cards, please wait...</translation>
    </message>
    <message>
        <source>正在进行卡片数据调整，请稍候...</source>
        <translation>Adjusting the cards, please wait...</translation>
    </message>
    <message>
        <source>卡片检查结果：</source>
        <translation>Card check results:</translation>
    </message>
    <message>
        <source>要进行数据调整的卡片总数是：</source>
        <extracomment>Followed by a space and the number of cards.</extracomment>
        <translation>Cards to adjust:</translation>
    </message>
    <message>
        <source>其中可以自动进行数据调整的卡片数量是：</source>
        <extracomment>Followed by a space and the number of cards.</extracomment>
        <translation>Of these, adjusted automatically:</translation>
    </message>
    <message>
        <source>其中要手动进行数据调整的卡片数量是：</source>
        <extracomment>Followed by a space and the number of cards.</extracomment>
        <translation>Of these, to be adjusted by hand:</translation>
    </message>
    <message>
        <source>错误原因:</source>
        <extracomment>Followed directly by the error's description.</extracomment>
        <translation>Error: </translation>
    </message>
    <message>
        <source>张</source>
        <extracomment>Follows the number in 共 N 张 (Total: N) and 当前第 N 张 (Current: N); English needs no word here.</extracomment>
        <translation> </translation>
    </message>
    <message>
        <source>入账日期：</source>
        <extracomment>Followed directly by the date.</extracomment>
        <translation>Entry date: </translation>
    </message>
    <message>
        <source>资产名称：</source>
        <extracomment>Followed by a space and the asset name.</extracomment>
        <translation>Asset name:</translation>
    </message>
    <message>
        <source>资产编码：</source>
        <extracomment>Followed by a space and the asset number.</extracomment>
        <translation>Asset number:</translation>
    </message>
    <message>
        <source>当前位置已经是第一条！</source>
        <translation>This is already the first card.</translation>
    </message>
    <message>
        <source>当前位置已经是最后一条！</source>
        <translation>This is already the last card.</translation>
    </message>
    <message>
        <source>当前卡片的折旧费用分配信息未能读取，不能修改！重新定位到该卡片即可再次读取。</source>
        <translation>The expense allocation of this card could not be read, so it cannot be changed. Move to the card again to read it again.</translation>
    </message>
    <message>
        <source>岚岫提示！</source>
        <extracomment>Title of the card navigation messages.</extracomment>
        <translation>Notice</translation>
    </message>
    <message>
        <source>第</source>
        <extracomment>Starts a fault line: Card N ...</extracomment>
        <translation>Card</translation>
    </message>
    <message>
        <source>张卡片还没有重新进行折旧费用分配!</source>
        <extracomment>Card N has not ...</extracomment>
        <translation>has not had its depreciation expense re-allocated yet!</translation>
    </message>
    <message>
        <source>张卡片在同一部门下出现了重复的折旧费用分配项目！</source>
        <extracomment>Card N allocates ...</extracomment>
        <translation>allocates the same depreciation expense twice in one department!</translation>
    </message>
    <message>
        <source>张卡片在部门</source>
        <extracomment>Card N in department 'name': ...; the quote follows directly.</extracomment>
        <translation>in department </translation>
    </message>
    <message>
        <source>下还没有进行折旧费用分配！</source>
        <extracomment>Follows the department name and its closing quote.</extracomment>
        <translation>: no depreciation expense is allocated there yet!</translation>
    </message>
    <message>
        <source>下折旧费用分配比例之和必须为100%！</source>
        <extracomment>Follows the department name and its closing quote.</extracomment>
        <translation>: its depreciation expense rates must add up to 100%!</translation>
    </message>
    <message>
        <source>数据检查</source>
        <translation>Data Check</translation>
    </message>
    <message>
        <source>确定(&amp;S)</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>Label2</source>
        <extracomment>Replaced before it is seen.</extracomment>
        <translation>Label2</translation>
    </message>
    <message>
        <source>数据检查结果：</source>
        <translation>Check results:</translation>
    </message>
    <message>
        <source>正在检查数据,请稍侯...</source>
        <translation>Checking the data, please wait...</translation>
    </message>
    <message>
        <source>正在保存折旧费用分配信息，请稍候...</source>
        <translation>Saving the expense allocation, please wait...</translation>
    </message>
    <message>
        <source>分配合计：</source>
        <extracomment>Starts the totals line; the first department follows directly.</extracomment>
        <translation>Allocated: </translation>
    </message>
    <message>
        <source>（还差</source>
        <extracomment>Follows a department's percentage; a space and the missing percentage follow.</extracomment>
        <translation> (short by</translation>
    </message>
    <message>
        <source>（超出</source>
        <extracomment>Follows a department's percentage; a space and the excess percentage follow.</extracomment>
        <translation> (over by</translation>
    </message>
    <message>
        <source>）</source>
        <extracomment>Closes the short by / over by part of the totals line.</extracomment>
        <translation>)</translation>
    </message>
    <message>
        <source>；</source>
        <extracomment>Separates the departments of the totals line.</extracomment>
        <translation>; </translation>
    </message>
    <message>
        <source>双击某一行可转到该行所说的卡片。</source>
        <extracomment>Tooltip of the fault list.</extracomment>
        <translation>Double-click a line to go to the card it names.</translation>
    </message>
    <message>
        <source>数据检查进度</source>
        <extracomment>Accessible name of the check-and-save dialog's progress bar.</extracomment>
        <translation>Progress of the data check</translation>
    </message>
    <message>
        <source>当前卡片还没有折旧费用分配，没有可以复制的内容。</source>
        <translation>This card has no expense allocation to copy yet.</translation>
    </message>
    <message>
        <source>正在查找部门和原科目相同的卡片：</source>
        <extracomment>Followed by a space and the cards looked at so far / all cards.</extracomment>
        <translation>Looking for cards with the same departments and legacy accounts:</translation>
    </message>
    <message>
        <source>没有其他卡片的部门和原科目与当前卡片相同。</source>
        <translation>No other card has the same departments and legacy accounts as this card.</translation>
    </message>
    <message>
        <source>复制折旧费用分配</source>
        <translation>Copy Expense Allocation</translation>
    </message>
    <message>
        <source>当前卡片的折旧费用分配将复制到下列部门和原科目都与它相同的卡片，替换它们现有的分配；保存前仍可逐张修改。</source>
        <translation>This card's rows are copied to the cards below (same departments, same legacy accounts) and replace their rows. You can still change each card before saving.</translation>
    </message>
    <message>
        <source>将要修改的卡片数量：</source>
        <extracomment>Followed by a space and the number of cards.</extracomment>
        <translation>Cards to change:</translation>
    </message>
    <message>
        <source>无法读取、不会修改的卡片：</source>
        <extracomment>Followed by a space and the card positions.</extracomment>
        <translation>Could not be read, left as they are:</translation>
    </message>
    <message>
        <source>、</source>
        <extracomment>Separates card positions.</extracomment>
        <translation>, </translation>
    </message>
    <message>
        <source>复制(&amp;C)</source>
        <translation>&amp;Copy</translation>
    </message>
</context>
<context>
    <name>ulm.header</name>
    <message>
        <source>位置</source>
        <translation>Card</translation>
    </message>
    <message>
        <source>资产编码</source>
        <translation>Asset number</translation>
    </message>
    <message>
        <source>资产名称</source>
        <translation>Asset name</translation>
    </message>
</context>
</TS>
