#include "accountset/DemoData.h"

#include "accountset/AccountSet.h"
#include "accountset/AccountSetErrors.h"
#include "accountset/BulkInsert.h"
#include "host/MMTS.h"

#include <QDate>
#include <QHash>

#include <array>
#include <vector>

using namespace Qt::StringLiterals;
using AllocFix::MMTS::LoadLangString;

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
    std::array<int, 3> classes; // 0: none
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
    {1602, u"1602", u"累计折旧", true, {}},
    {5101, u"5101", u"制造费用", false, {}},
    {Manufacturing, u"5101.01", u"制造费用-折旧费", true, {2, 4}},
    {5301, u"5301", u"研发支出", false, {}},
    {Research, u"5301.01", u"研发支出-折旧费", true, {2, 3}},
    {6601, u"6601", u"销售费用", false, {}},
    {Selling, u"6601.01", u"销售费用-折旧费", true, {2}},
    {6602, u"6602", u"管理费用", false, {}},
    {Administration, u"6602.01", u"管理费用-折旧费", true, {2}},
}};
constexpr int LedgerDepartments = 12;
constexpr int LedgerExpenseAccounts = 4;

// The item a row carries for each class of its account, other than the department.
constexpr int ProjectItem = 301;
constexpr int ProductLineItem = 401;

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
    int departmentItem; // the item of class 2, for accounts that have it
    double rate;
};

// The expense account a card of this kind is charged to.
int ledgerAccountFor(const CardKind &kind)
{
    const QString category = QString::fromUtf16(kind.category);
    if (category == u"机器设备")
        return Manufacturing;
    if (category == u"电子设备")
        return Research;
    if (category == u"运输设备")
        return Selling;
    return Administration;
}

// A fixed scramble of a card's index, so that generated cards vary without a random source.
quint32 scramble(quint32 value, quint32 salt)
{
    value ^= salt * 0x9E3779B9u;
    value ^= value >> 16;
    value *= 0x7FEB352Du;
    value ^= value >> 15;
    value *= 0x846CA68Bu;
    value ^= value >> 16;
    return value;
}

// count shares of the whole, to four decimals, the last one taking the rest: 1/3 gives
// 0.3333, 0.3333, 0.3334.
std::vector<double> shares(int count)
{
    const int each = 10000 / count;
    std::vector<double> rates(static_cast<size_t>(count), each / 10000.0);
    rates.back() = (10000 - each * (count - 1)) / 10000.0;
    return rates;
}

struct CardPlan {
    int id;
    int index;
    const CardKind *kind;
    std::vector<std::pair<int, double>> departments; // ID and share
    std::vector<Row> rows;
};

// The shape's reference data and how its cards use it.
class Generator {
public:
    explicit Generator(const DemoShape &shape)
        : m_shape(shape)
    {
        for (const Account &account : Accounts)
            m_classes.insert(account.id, account.classes);
        if (shape.isLedger())
            return;
        const bool valid = shape.cards >= 0 && shape.minRows >= 2 &&
                           shape.maxRows >= shape.minRows &&
                           generatedDepartments() >= shape.maxRows && generatedAccounts() >= 1;
        if (!valid) {
            throw AllocFix::Failure(
                AllocFix::ErrorNumber::InvalidArgument,
                LoadLangString(
                    u"演示账套每张卡片至少需要两行；除总账的 %1 个部门外，部门要多于每张卡片的行数；除总账的 %2 个费用科目外，还要有更多费用科目"_s)
                    .arg(LedgerDepartments)
                    .arg(LedgerExpenseAccounts));
        }
        // None to three item classes, always the department first when it is there.
        const std::array<std::array<int, 3>, 5> classSets{{{}, {2}, {2, 3}, {2, 4}, {2, 3, 4}}};
        for (int k = 0; k < generatedAccounts(); ++k)
            m_classes.insert(generatedAccountId(k), classSets[static_cast<size_t>(k) % 5]);
    }

    int generatedDepartments() const { return m_shape.departments - LedgerDepartments; }
    int generatedAccounts() const { return m_shape.expenseAccounts - LedgerExpenseAccounts; }
    static int generatedDepartmentId(int k) { return 100001 + k; }
    static int generatedAccountId(int k) { return 800001 + k; }
    std::array<int, 3> classesOf(int account) const { return m_classes.value(account); }

    CardPlan plan(int index) const
    {
        CardPlan card{
            1001 + index, index, &CardKinds[static_cast<size_t>(index) % CardKinds.size()], {}, {}};
        if (m_shape.isLedger())
            planLedgerCard(card);
        else
            planGeneratedCard(card);
        return card;
    }

private:
    static void planLedgerCard(CardPlan &card)
    {
        const Split &split = Splits[static_cast<size_t>(card.index) % Splits.size()];
        for (int d = 0; d < 3 && split.departments[d] != 0; ++d)
            card.departments.emplace_back(split.departments[d], split.rates[d]);
        const int first = split.departments[0];
        const int account = ledgerAccountFor(*card.kind);
        switch (card.index % 5) {
        case 1: // two legacy rows: the split between accounts needs a person
            card.rows = {{0, account, first, 0.6}, {0, Administration, 201, 0.4}};
            break;
        case 4: // already allocated per department
            for (const auto &[department, share] : card.departments)
                card.rows.push_back({department, account, department, 1.0});
            break;
        default: // one legacy row: adjusted automatically
            card.rows = {{0, account, first, 1.0}};
            break;
        }
    }

    void planGeneratedCard(CardPlan &card) const
    {
        const auto index = static_cast<quint32>(card.index);
        const auto span = static_cast<quint32>(m_shape.maxRows - m_shape.minRows + 1);
        const int departments = m_shape.minRows + static_cast<int>(scramble(index, 1) % span);
        const auto pool = static_cast<quint32>(generatedDepartments());
        const quint32 start = scramble(index, 2) % pool;
        const std::vector<double> departmentShares = shares(departments);
        for (int d = 0; d < departments; ++d) {
            card.departments.emplace_back(
                generatedDepartmentId(static_cast<int>((start + static_cast<quint32>(d)) % pool)),
                departmentShares[static_cast<size_t>(d)]);
        }
        const int first = card.departments.front().first;
        const auto account = [this, &card](int offset) {
            return generatedAccountId((card.index + offset) % generatedAccounts());
        };
        switch (card.index % 5) {
        case 1: {
            const int legacy = m_shape.minRows + static_cast<int>(scramble(index, 3) % span);
            const std::vector<double> rowShares = shares(legacy);
            for (int j = 0; j < legacy; ++j)
                card.rows.push_back({0, account(j), first, rowShares[static_cast<size_t>(j)]});
            break;
        }
        case 4:
            for (const auto &[department, share] : card.departments)
                card.rows.push_back({department, account(0), department, 1.0});
            break;
        default:
            card.rows = {{0, account(0), first, 1.0}};
            break;
        }
    }

    DemoShape m_shape;
    QHash<int, std::array<int, 3>> m_classes;
};

int itemOfClass(int classId, const Row &row)
{
    switch (classId) {
    case 2:
        return row.departmentItem;
    case 3:
        return ProjectItem;
    default:
        return ProductLineItem;
    }
}

// One table's rows for every card. Each table has a pass of its own, so that every row's parent
// is written before it and the set is never held in memory whole.
template<class AddRows>
void writeTable(const AccountSet &set, const Generator &generator, int cardCount,
                const QString &table, const QStringList &columns, AddRows addRows)
{
    BulkInsert insert(set, table, columns);
    for (int index = 0; index < cardCount; ++index)
        addRows(insert, generator.plan(index));
    insert.finish();
}

void addCardRecords(const AccountSet &set, const Generator &generator, int cardCount)
{
    const QDate firstEntry(2015, 1, 10);
    const QStringList columns{u"alter_id"_s,
                              u"asset_number"_s,
                              u"asset_name"_s,
                              u"entry_date"_s,
                              u"category"_s,
                              u"model"_s,
                              u"site"_s,
                              u"original_value"_s,
                              u"accumulated_depreciation"_s,
                              u"useful_life_months"_s,
                              u"depreciation_method"_s,
                              u"status"_s};
    writeTable(set, generator, cardCount, u"cards"_s, columns,
               [&firstEntry](BulkInsert &cards, const CardPlan &card) {
                   const CardKind &kind = *card.kind;
                   const int index = card.index;
                   const QDate entry = firstEntry.addDays(static_cast<qint64>(index) * 37 % 3200);
                   const double value = kind.value * (1.0 + (index % 7) * 0.05);
                   const double monthsUsed = qMin(kind.lifeMonths, (index * 5) % 90 + 6);
                   cards.add({card.id, u"FA%1"_s.arg(index + 1, 5, 10, QLatin1Char('0')),
                              QString::fromUtf16(kind.name), entry.toString(Qt::ISODate),
                              QString::fromUtf16(kind.category), QString::fromUtf16(kind.model),
                              QString::fromUtf16(kind.site), value,
                              value * 0.95 * monthsUsed / kind.lifeMonths, kind.lifeMonths,
                              u"平均年限法"_s, u"使用中"_s});
               });
}

void addCardRows(const AccountSet &set, const Generator &generator, int cardCount)
{
    writeTable(set, generator, cardCount, u"card_departments"_s,
               {u"alter_id"_s, u"seq"_s, u"dept_id"_s, u"rate"_s},
               [](BulkInsert &departments, const CardPlan &card) {
                   int seq = 0;
                   for (const auto &[department, share] : card.departments)
                       departments.add({card.id, ++seq, department, share});
               });
    writeTable(set, generator, cardCount, u"expense_rows"_s,
               {u"alter_id"_s, u"seq"_s, u"dept_id"_s, u"account_id"_s, u"rate"_s},
               [](BulkInsert &rows, const CardPlan &card) {
                   int seq = 0;
                   for (const Row &row : card.rows)
                       rows.add({card.id, ++seq, row.department, row.account, row.rate});
               });
    writeTable(set, generator, cardCount, u"expense_row_items"_s,
               {u"alter_id"_s, u"row_seq"_s, u"seq"_s, u"class_id"_s, u"item_id"_s},
               [&generator](BulkInsert &items, const CardPlan &card) {
                   int seq = 0;
                   for (const Row &row : card.rows) {
                       ++seq;
                       const std::array<int, 3> classes = generator.classesOf(row.account);
                       for (int i = 0; i < 3 && classes[static_cast<size_t>(i)] != 0; ++i) {
                           const int classId = classes[static_cast<size_t>(i)];
                           items.add({card.id, seq, i + 1, classId, itemOfClass(classId, row)});
                       }
                   }
               });
}

} // namespace

void addReferenceData(const AccountSet &set, const DemoShape &shape)
{
    const Generator generator(shape);
    const std::array<std::pair<int, const char16_t *>, 3> classes{
        {{2, u"部门"}, {3, u"项目"}, {4, u"产品线"}}};
    BulkInsert itemClasses(set, u"item_classes"_s, {u"class_id"_s, u"name"_s});
    for (const auto &[id, name] : classes)
        itemClasses.add({id, QString::fromUtf16(name)});
    itemClasses.finish();

    BulkInsert items(set, u"items"_s,
                     {u"item_id"_s, u"class_id"_s, u"number"_s, u"name"_s, u"detail"_s});
    for (const Item &item : Items) {
        items.add({item.id, item.classId, QString::fromUtf16(item.number),
                   QString::fromUtf16(item.name), item.detail ? 1 : 0});
    }
    for (int k = 0; !shape.isLedger() && k < generator.generatedDepartments(); ++k) {
        items.add({Generator::generatedDepartmentId(k), 2,
                   u"09.%1"_s.arg(k + 1, 4, 10, QLatin1Char('0')),
                   u"成本中心%1"_s.arg(k + 1, 4, 10, QLatin1Char('0')), 1});
    }
    items.finish();

    struct AccountRecord {
        int id;
        QString number;
        QString name;
        bool detail;
    };
    std::vector<AccountRecord> accountRecords;
    for (const Account &account : Accounts) {
        accountRecords.push_back({account.id, QString::fromUtf16(account.number),
                                  QString::fromUtf16(account.name), account.detail});
    }
    // Under the four expense parents, in turn: 5101.10, 5301.10, 6601.10, 6602.10, 5101.11, ...
    const std::array<const Account *, 4> parents{&Accounts[1], &Accounts[3], &Accounts[5],
                                                 &Accounts[7]};
    for (int k = 0; !shape.isLedger() && k < generator.generatedAccounts(); ++k) {
        const Account &parent = *parents[static_cast<size_t>(k) % parents.size()];
        const QString sub = QString::number(10 + k / 4);
        accountRecords.push_back({Generator::generatedAccountId(k),
                                  QString::fromUtf16(parent.number) + u'.' + sub,
                                  QString::fromUtf16(parent.name) + u"-折旧费"_s + sub, true});
    }

    BulkInsert accounts(set, u"accounts"_s, {u"account_id"_s, u"number"_s, u"name"_s, u"detail"_s});
    for (const AccountRecord &account : accountRecords)
        accounts.add({account.id, account.number, account.name, account.detail ? 1 : 0});
    accounts.finish();
    BulkInsert accountClasses(set, u"account_item_classes"_s,
                              {u"account_id"_s, u"seq"_s, u"class_id"_s});
    for (const AccountRecord &account : accountRecords) {
        const std::array<int, 3> classIds = generator.classesOf(account.id);
        for (int i = 0; i < 3 && classIds[static_cast<size_t>(i)] != 0; ++i)
            accountClasses.add({account.id, i + 1, classIds[static_cast<size_t>(i)]});
    }
    accountClasses.finish();
}

void addDemoCards(const AccountSet &set, int cardCount)
{
    addDemoCards(set, DemoShape{cardCount});
}

void addDemoCards(const AccountSet &set, const DemoShape &shape)
{
    const Generator generator(shape);
    addCardRecords(set, generator, shape.cards);
    addCardRows(set, generator, shape.cards);
}

QString createDemoAccountSet(const AccountSetLocation &location, const DemoShape &shape)
{
    AccountSet::create(location, [&shape](const AccountSet &set) {
        set.setProfileValue(DemoSetKey, DemoSetValue);
        addReferenceData(set, shape);
        addDemoCards(set, shape);
        set.updateStatistics();
    });
    return location.url();
}

QString createDemoAccountSet(const QString &location, const DemoShape &shape)
{
    return createDemoAccountSet(AccountSetLocation::parse(location), shape);
}

QString createDemoAccountSet(const QString &location, int cardCount)
{
    return createDemoAccountSet(AccountSetLocation::parse(location), DemoShape{cardCount});
}

QString createDemoAccountSet(const AccountSetLocation &location, int cardCount)
{
    return createDemoAccountSet(location, DemoShape{cardCount});
}

} // namespace FixedAssets
