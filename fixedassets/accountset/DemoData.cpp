#include "accountset/DemoData.h"

#include "accountset/AccountSet.h"

#include <QDate>

#include <array>

using namespace Qt::StringLiterals;

namespace FixedAssets {

namespace {

struct Item {
    int id;
    int classId;
    const char16_t *number;
    const char16_t *name;
    bool detail;
};

struct Account {
    int id;
    const char16_t *number;
    const char16_t *name;
    bool detail;
    std::array<int, 2> classes; // 0: none
};

// Accounts used by the demo rows.
constexpr int Manufacturing = 510101;
constexpr int Research = 530101;
constexpr int Selling = 660101;
constexpr int Administration = 660201;

constexpr std::array<Item, 18> Items{{
    {200, 2, u"01", u"行政部门", false},
    {201, 2, u"01.01", u"管理部", true},
    {202, 2, u"01.02", u"财务部", true},
    {203, 2, u"01.03", u"人力资源部", true},
    {210, 2, u"02", u"生产部门", false},
    {211, 2, u"02.01", u"生产一车间", true},
    {212, 2, u"02.02", u"生产二车间", true},
    {213, 2, u"02.03", u"质检部", true},
    {220, 2, u"03", u"营销部门", false},
    {221, 2, u"03.01", u"销售部", true},
    {222, 2, u"03.02", u"市场部", true},
    {231, 2, u"04", u"研发中心", true},
    {300, 3, u"P", u"在研项目", false},
    {301, 3, u"P001", u"新一代数控系统研发", true},
    {302, 3, u"P002", u"智能仓储改造", true},
    {400, 4, u"L", u"产品线", false},
    {401, 4, u"L01", u"精密零件", true},
    {402, 4, u"L02", u"标准件", true},
}};

constexpr std::array<Account, 9> Accounts{{
    {1602, u"1602", u"累计折旧", true, {0, 0}},
    {5101, u"5101", u"制造费用", false, {0, 0}},
    {Manufacturing, u"5101.01", u"制造费用-折旧费", true, {2, 4}},
    {5301, u"5301", u"研发支出", false, {0, 0}},
    {Research, u"5301.01", u"研发支出-折旧费", true, {2, 3}},
    {6601, u"6601", u"销售费用", false, {0, 0}},
    {Selling, u"6601.01", u"销售费用-折旧费", true, {2, 0}},
    {6602, u"6602", u"管理费用", false, {0, 0}},
    {Administration, u"6602.01", u"管理费用-折旧费", true, {2, 0}},
}};

struct CardKind {
    const char16_t *name;
    const char16_t *category;
    const char16_t *model;
    const char16_t *site;
    double value;
    int lifeMonths;
};

constexpr std::array<CardKind, 12> CardKinds{{
    {u"办公楼", u"房屋及建筑物", u"框架结构 6层", u"总部园区", 12800000.0, 480},
    {u"数控车床", u"机器设备", u"CK6150", u"一号厂房", 268000.0, 120},
    {u"服务器", u"电子设备", u"2U 双路机架式", u"信息中心机房", 86000.0, 60},
    {u"货车", u"运输设备", u"4.2米厢式", u"物流车库", 158000.0, 96},
    {u"加工中心", u"机器设备", u"VMC850", u"二号厂房", 425000.0, 120},
    {u"中央空调机组", u"通用设备", u"螺杆式 200冷吨", u"总部园区", 960000.0, 180},
    {u"叉车", u"运输设备", u"3吨电动", u"成品仓库", 98000.0, 96},
    {u"投影仪", u"电子设备", u"5000流明", u"三楼会议室", 12800.0, 60},
    {u"激光切割机", u"机器设备", u"3015 光纤", u"一号厂房", 580000.0, 120},
    {u"变压器", u"通用设备", u"SCB13-1250", u"配电室", 215000.0, 240},
    {u"仓库", u"房屋及建筑物", u"钢结构", u"物流园", 3600000.0, 360},
    {u"复印机", u"办公设备", u"A3 彩色", u"行政楼二层", 26800.0, 60},
}};

struct Split {
    std::array<int, 3> departments; // 0: none
    std::array<double, 3> rates;
};

constexpr std::array<Split, 5> Splits{{
    {{201, 202, 0}, {0.5, 0.5, 0}},
    {{211, 212, 0}, {0.6, 0.4, 0}},
    {{221, 222, 201}, {0.4, 0.3, 0.3}},
    {{211, 213, 0}, {0.7, 0.3, 0}},
    {{231, 211, 202}, {0.25, 0.25, 0.5}},
}};

struct Row {
    int department; // 0: a legacy row
    int account;
    std::array<int, 2> items; // in the account's class order
    double rate;
};

void addRow(const AccountSet &set, int cardId, int seq, const Row &row)
{
    set.exec(u"INSERT INTO expense_rows (alter_id, seq, dept_id, account_id, rate)"
             " VALUES (?, ?, ?, ?, ?)"_s,
             {cardId, seq, row.department, row.account, row.rate});
    for (const Account &account : Accounts) {
        if (account.id != row.account)
            continue;
        for (int i = 0; i < 2 && account.classes[i] != 0; ++i) {
            set.exec(u"INSERT INTO expense_row_items (alter_id, row_seq, seq, class_id, item_id)"
                     " VALUES (?, ?, ?, ?, ?)"_s,
                     {cardId, seq, i + 1, account.classes[i], row.items[i]});
        }
    }
}

// The expense account a card of this kind is charged to, with its items for a department.
Row rowFor(const CardKind &kind, int department, double rate)
{
    const QString category = QString::fromUtf16(kind.category);
    if (category == u"机器设备")
        return {0, Manufacturing, {department, 401}, rate};
    if (category == u"电子设备")
        return {0, Research, {department, 301}, rate};
    if (category == u"运输设备")
        return {0, Selling, {department, 0}, rate};
    return {0, Administration, {department, 0}, rate};
}

} // namespace

void addReferenceData(const AccountSet &set)
{
    const std::array<std::pair<int, const char16_t *>, 3> classes{
        {{2, u"部门"}, {3, u"项目"}, {4, u"产品线"}}};
    for (const auto &[id, name] : classes) {
        set.exec(u"INSERT INTO item_classes (class_id, name) VALUES (?, ?)"_s,
                 {id, QString::fromUtf16(name)});
    }
    for (const Item &item : Items) {
        set.exec(u"INSERT INTO items (item_id, class_id, number, name, detail)"
                 " VALUES (?, ?, ?, ?, ?)"_s,
                 {item.id, item.classId, QString::fromUtf16(item.number),
                  QString::fromUtf16(item.name), item.detail ? 1 : 0});
    }
    for (const Account &account : Accounts) {
        set.exec(u"INSERT INTO accounts (account_id, number, name, detail) VALUES (?, ?, ?, ?)"_s,
                 {account.id, QString::fromUtf16(account.number), QString::fromUtf16(account.name),
                  account.detail ? 1 : 0});
        for (int i = 0; i < 2 && account.classes[i] != 0; ++i) {
            set.exec(u"INSERT INTO account_item_classes (account_id, seq, class_id)"
                     " VALUES (?, ?, ?)"_s,
                     {account.id, i + 1, account.classes[i]});
        }
    }
}

void addDemoCards(const AccountSet &set, int cardCount)
{
    const QDate firstEntry(2015, 1, 10);
    for (int index = 0; index < cardCount; ++index) {
        const int cardId = 1001 + index;
        const CardKind &kind = CardKinds[static_cast<size_t>(index) % CardKinds.size()];
        const Split &split = Splits[static_cast<size_t>(index) % Splits.size()];
        const QDate entry = firstEntry.addDays(static_cast<qint64>(index) * 37 % 3200);
        const double value = kind.value * (1.0 + (index % 7) * 0.05);
        const double monthsUsed = qMin(kind.lifeMonths, (index * 5) % 90 + 6);
        set.exec(u"INSERT INTO cards (alter_id, asset_number, asset_name, entry_date, category,"
                 " model, site, original_value, accumulated_depreciation, useful_life_months,"
                 " depreciation_method, status) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"_s,
                 {cardId, u"FA%1"_s.arg(index + 1, 5, 10, QLatin1Char('0')),
                  QString::fromUtf16(kind.name), entry.toString(Qt::ISODate),
                  QString::fromUtf16(kind.category), QString::fromUtf16(kind.model),
                  QString::fromUtf16(kind.site), value, value * 0.95 * monthsUsed / kind.lifeMonths,
                  kind.lifeMonths, u"平均年限法"_s, u"使用中"_s});

        int departments = 0;
        for (int d = 0; d < 3 && split.departments[d] != 0; ++d, ++departments) {
            set.exec(u"INSERT INTO card_departments (alter_id, seq, dept_id, rate)"
                     " VALUES (?, ?, ?, ?)"_s,
                     {cardId, d + 1, split.departments[d], split.rates[d]});
        }

        const int first = split.departments[0];
        switch (index % 5) {
        case 1: // two legacy rows: the split between accounts needs a person
            addRow(set, cardId, 1, rowFor(kind, first, 0.6));
            addRow(set, cardId, 2, {0, Administration, {201, 0}, 0.4});
            break;
        case 4: // already allocated per department
            for (int d = 0; d < departments; ++d) {
                Row row = rowFor(kind, split.departments[d], 1.0);
                row.department = split.departments[d];
                addRow(set, cardId, d + 1, row);
            }
            break;
        default: // one legacy row: adjusted automatically
            addRow(set, cardId, 1, rowFor(kind, first, 1.0));
            break;
        }
    }
}

QString createDemoAccountSet(const QString &location, int cardCount)
{
    return createDemoAccountSet(AccountSetLocation::parse(location), cardCount);
}

QString createDemoAccountSet(const AccountSetLocation &location, int cardCount)
{
    AccountSet::create(location, [cardCount](const AccountSet &set) {
        set.setProfileValue(DemoSetKey, DemoSetValue);
        addReferenceData(set);
        addDemoCards(set, cardCount);
    });
    return location.url();
}

} // namespace FixedAssets
