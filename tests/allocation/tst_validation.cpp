#include "allocation/AllocationState.h"
#include "allocation/ManualStep.h"
#include "allocation/Validation.h"
#include "entry/ComponentUnload.h"
#include "records/RecordFields.h"
#include "support/AllocationRecords.h"
#include "support/FakeCardServices.h"
#include "support/FakeDesktop.h"
#include "support/FakeItemService.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using namespace AllocFix;
using namespace AllocFix::Testing;

namespace {

// One card of the manual step: its departments as the card service has them, and its rows as
// the wizard holds them once the card was shown.
struct CardCase {
    QList<FieldRecord> departments;
    QList<FieldRecord> rows;
    bool shown = true;
};
using Cards = QList<CardCase>;

constexpr qint32 FirstCardId = 101;

// Department records carry one name; the item service knows the department by another.
FieldRecord office(double rate = 0.6)
{
    return departmentRecord(1, u"管理部"_s, rate);
}
FieldRecord workshop(double rate = 0.4)
{
    return departmentRecord(2, u"一车间"_s, rate);
}

QString r1(int card)
{
    return u"第 %1 张卡片还没有重新进行折旧费用分配!"_s.arg(card);
}
QString r2(int card)
{
    return u"第 %1 张卡片在同一部门下出现了重复的折旧费用分配项目！"_s.arg(card);
}
QString r3(int card, const QString &department)
{
    return u"第 %1 张卡片在部门 '%2' 下还没有进行折旧费用分配！"_s.arg(card).arg(department);
}
QString r4(int card, const QString &department)
{
    return u"第 %1 张卡片在部门 '%2' 下折旧费用分配比例之和必须为100%！"_s.arg(card).arg(
        department);
}

// Puts the cards into the step's collections and the card service, as a manual step with
// these cards would have left them.
void setUpManualStep(ManualStep &step, const Cards &cards, FakeCardServices &services)
{
    for (qsizetype index = 0; index < cards.size(); ++index) {
        const CardCase &card = cards.at(index);
        const qint32 id = FirstCardId + static_cast<qint32>(index);
        const QString key = QString::number(index + 1);
        services.addCard(id).departments = recordList(card.departments);
        FieldRecord cardRecord = FieldRecord::create();
        cardRecord.setValue(Fields::FAlterID, id);
        step.vecFalterID().append(cardRecord);
        step.dirtVect().setValue(key, card.shown ? u"1"_s : u"0"_s);
        if (card.shown)
            step.AllDict().setValue(key, recordList(card.rows));
    }
}

QString oldRows(int card)
{
    return u"第 %1 张卡片还有未指定部门的原折旧费用分配，请删除或修改！"_s.arg(card);
}
QString foreignDepartment(int card, int row, const QString &department)
{
    return u"第 %1 张卡片第 %2 行的部门“%3”不是这张卡片的使用部门，请删除或修改！"_s.arg(
        QString::number(card), QString::number(row), department);
}
QString incomplete(int card, int row)
{
    return u"第 %1 张卡片第 %2 行的科目或核算项目不完整！"_s.arg(card).arg(row);
}
QString rateOutOfRange(int card, int row)
{
    return u"第 %1 张卡片第 %2 行的分配比例必须在0.01-100之间！"_s.arg(card).arg(row);
}

QString textOf(const QStringList &lines)
{
    QString text;
    for (const QString &line : lines)
        text += line + u"\r\n"_s;
    return text;
}

} // namespace

Q_DECLARE_METATYPE(CardCase)

class tst_Validation : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { unloadComponent(); }

    void faults_data();
    void faults();
    void serviceFailureReachesTheCaller();
    void fixedPartsAreLocalisedApart();
};

void tst_Validation::faults_data()
{
    QTest::addColumn<Cards>("cards");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("cardsExamined");

    const auto items = [](const QString &first, const QString &second) -> QList<FieldRecord> {
        return {itemRecord(u"项目"_s, first), itemRecord(u"职员"_s, second)};
    };

    QTest::newRow("valid") << Cards{{{office(), workshop()},
                                     {expenseRow(1, 10, 1), expenseRow(2, 10, 0.5),
                                      expenseRow(2, 11, 0.5)}}}
                           << QStringList{} << 1;
    QTest::newRow("thirds at four decimals make 100 %")
        << Cards{{{office(1)},
                  {expenseRow(1, 10, 0.3333), expenseRow(1, 11, 0.3333),
                   expenseRow(1, 12, 0.3334)}}}
        << QStringList{} << 1;
    QTest::newRow("0.5 + 0.4999 falls short")
        << Cards{{{office(1)}, {expenseRow(1, 10, 0.5), expenseRow(1, 11, 0.4999)}}}
        << QStringList{r4(1, u"行政管理部"_s)} << 1;
    QTest::newRow("0.99995 rounds to 1")
        << Cards{{{office(1)}, {expenseRow(1, 10, 0.99995)}}} << QStringList{} << 1;
    QTest::newRow("1.00005 rounds away from 1")
        << Cards{{{office(1)}, {expenseRow(1, 10, 1.00005)}}}
        << QStringList{r4(1, u"行政管理部"_s), rateOutOfRange(1, 1)} << 1;
    QTest::newRow("same item names, other item ids: duplicate")
        << Cards{{{office(1)},
                  {expenseRow(1, 10, 0.5, {itemRecord(u"项目"_s, u"A"_s, 1)}),
                   expenseRow(1, 10, 0.5, {itemRecord(u"项目"_s, u"A"_s, 2)})}}}
        << QStringList{r2(1)} << 1;
    QTest::newRow("same items in another order: no duplicate")
        << Cards{{{office(1)},
                  {expenseRow(1, 10, 0.5, items(u"A"_s, u"B"_s)),
                   expenseRow(1, 10, 0.5, items(u"B"_s, u"A"_s))}}}
        << QStringList{} << 1;
    QTest::newRow("same account in two departments: no duplicate")
        << Cards{{{office(), workshop()}, {expenseRow(1, 10, 1), expenseRow(2, 10, 1)}}}
        << QStringList{} << 1;
    QTest::newRow("department without rows: R3 then R4")
        << Cards{{{office(), workshop()}, {expenseRow(1, 10, 1)}}}
        << QStringList{r3(1, u"一车间"_s), r4(1, u"生产一车间"_s)} << 1;
    QTest::newRow("no rows, two departments")
        << Cards{{{office(), workshop()}, {}}}
        << QStringList{r3(1, u"管理部"_s), r3(1, u"一车间"_s), r4(1, u"行政管理部"_s),
                       r4(1, u"生产一车间"_s)}
        << 1;
    QTest::newRow("no rows, no departments") << Cards{{{}, {}}} << QStringList{} << 1;
    // Left in place, such a row would count its share twice once the card is saved.
    QTest::newRow("old row without a department, after the specified lines")
        << Cards{{{office(), workshop()},
                  {expenseRow(1, 10, 1), expenseRow(0, 10, 0.2), expenseRow(1, 11, 0.5)}}}
        << QStringList{r3(1, u"一车间"_s), r4(1, u"行政管理部"_s), r4(1, u"生产一车间"_s),
                       oldRows(1)}
        << 1;
    QTest::newRow("row of a department that does not use the card")
        << Cards{{{office(1)}, {expenseRow(1, 10, 1), expenseRow(2, 10, 0.3)}}}
        << QStringList{foreignDepartment(1, 2, u"生产一车间"_s)} << 1;
    QTest::newRow("department unknown to the item service: named by its ID")
        << Cards{{{office(1)}, {expenseRow(1, 10, 1), expenseRow(9, 10, 0.3)}}}
        << QStringList{foreignDepartment(1, 2, u"9"_s)} << 1;
    QTest::newRow("old rows once, then each foreign department's row")
        << Cards{{{office(1)},
                  {expenseRow(2, 10, 0.3), expenseRow(0, 10, 0.2), expenseRow(1, 10, 1),
                   expenseRow(0, 11, 0.2), expenseRow(2, 11, 0.1)}}}
        << QStringList{oldRows(1), foreignDepartment(1, 1, u"生产一车间"_s),
                       foreignDepartment(1, 5, u"生产一车间"_s)}
        << 1;
    QTest::newRow("rates out of range that still make 100 %")
        << Cards{{{office(1)}, {expenseRow(1, 10, 1.5), expenseRow(1, 11, -0.5)}}}
        << QStringList{rateOutOfRange(1, 1), rateOutOfRange(1, 2)} << 1;
    QTest::newRow("no account, an item not chosen")
        << Cards{{{office(1)},
                  {expenseRow(1, 0, 0.5),
                   expenseRow(1, 10, 0.5, {itemRecord(u"项目"_s, u"..."_s, 0)})}}}
        << QStringList{incomplete(1, 1), incomplete(1, 2)} << 1;
    QTest::newRow("duplicate, then coverage, then rates")
        << Cards{{{office(), workshop()}, {expenseRow(1, 10, 0.5), expenseRow(1, 10, 0.5)}}}
        << QStringList{r2(1), r3(1, u"一车间"_s), r4(1, u"生产一车间"_s)} << 1;
    QTest::newRow("unshown last card is named before the others' faults")
        << Cards{{{office(1)}, {expenseRow(1, 10, 0.5)}},
                 {{office(1)}, {expenseRow(1, 10, 1)}},
                 {{office(1)}, {}, false}}
        << QStringList{r1(3), r4(1, u"行政管理部"_s)} << 2;
    QTest::newRow("unshown middle card: the cards after it are checked too")
        << Cards{{{office(1)}, {expenseRow(1, 10, 0.5), expenseRow(1, 10, 0.5)}},
                 {{office(1)}, {}, false},
                 {{office(1)}, {expenseRow(1, 10, 0.1)}}}
        << QStringList{r1(2), r2(1), r4(3, u"行政管理部"_s)} << 2;
    QTest::newRow("no card shown") << Cards{{{office(1)}, {}, false}, {{office(1)}, {}, false}}
                                   << QStringList{r1(1), r1(2)} << 0;
}

void tst_Validation::faults()
{
    QFETCH(Cards, cards);
    QFETCH(QStringList, lines);
    QFETCH(int, cardsExamined);
    FakeDesktop desktop;
    FakeCardServices services;
    FakeItemService itemService;
    itemService.addDepartment(1, u"行政管理部"_s);
    itemService.addDepartment(2, u"生产一车间"_s);
    ManualStep step;
    setUpManualStep(step, cards, services);
    ValidationText = u"an earlier run's line\r\n"_s;

    const ValidationFaults faults = ValidateAllocations(step);

    QCOMPARE(ValidationText, textOf(lines));
    QStringList texts;
    for (const ValidationFault &fault : faults) {
        texts.append(fault.text);
        // Each fault knows its card without reading the text back.
        QVERIFY(fault.text.startsWith(u"第 "_s + QString::number(fault.card) + u' '));
    }
    QCOMPARE(texts, lines);
    QCOMPARE(services.calls.filter(u"GetDept"_s).size(), cardsExamined);
}

// Reported by the caller with the service's own text; what was found so far stays.
void tst_Validation::serviceFailureReachesTheCaller()
{
    FakeDesktop desktop;
    FakeCardServices services;
    ManualStep step;
    setUpManualStep(step,
                    {{{office(1)}, {expenseRow(1, 10, 0.5), expenseRow(1, 10, 0.5)}},
                     {{office(1)}, {expenseRow(1, 10, 0.5), expenseRow(1, 10, 0.5)}},
                     {{office(1)}, {}, false}},
                    services);
    services.failing = QStringList{u"GetDept"_s};
    ValidationText = u"an earlier run's line\r\n"_s;

    QVERIFY_THROWS_EXCEPTION(Failure, ValidateAllocations(step));
    QCOMPARE(services.calls, QStringList{u"GetDept 101"_s});
    QCOMPARE(ValidationText, textOf({u"第 3 张卡片还没有重新进行折旧费用分配!"_s}));
}

void tst_Validation::fixedPartsAreLocalisedApart()
{
    FakeDesktop desktop;
    desktop.propsString = u"Language=ENG;"_s;
    FakeCardServices services;
    FakeItemService itemService;
    itemService.addDepartment(1, u"Office"_s);
    ManualStep step;
    setUpManualStep(step, {{{office(1)}, {}}, {{office(1)}, {}, false}}, services);

    QVERIFY(!ValidateAllocations(step).isEmpty());
    QCOMPARE(ValidationText,
             textOf({u"<第> 2 <张卡片还没有重新进行折旧费用分配!>"_s,
                     u"<第> 1 <张卡片在部门>'管理部'<下还没有进行折旧费用分配！>"_s,
                     u"<第> 1 <张卡片在部门>'Office'<下折旧费用分配比例之和必须为100%！>"_s}));
}

QTEST_MAIN(tst_Validation)
#include "tst_validation.moc"
