#include "editors/frmExpenseEdit.h"
#include "entry/ComponentUnload.h"
#include "support/AllocationRecords.h"
#include "support/CardGenerator.h"
#include "support/FakeCardServices.h"
#include "support/FakeDesktop.h"
#include "support/FakeItemService.h"
#include "support/MessageRecorder.h"
#include "support/ModalDriver.h"
#include "support/WizardDriver.h"
#include "widgets/SplitBars.h"
#include "wizard/RateTotalsLine.h"
#include "wizard/frmUpdateData.h"

#include <QLabel>
#include <QTextBlock>
#include <QTextDocument>
#include <QtTest>

#include <algorithm>

using namespace Qt::StringLiterals;
using namespace AllocFix;
using namespace AllocFix::Testing;

namespace {

using Rates = QList<std::pair<qint32, double>>; // department, rate

struct Cards {
    FakeDesktop desktop;
    FakeCardServices services;
    FakeItemService itemService;
    MessageRecorder messages;

    // Each card has the departments 管理部 (1) and, if named, a second one (2).
    explicit Cards(const QList<Rates> &cards, const QString &second = {})
    {
        qint32 id = 101;
        for (const Rates &rates : cards) {
            FakeCardServices::Card &card = services.addCard(id);
            card.departments = recordList({departmentRecord(1, u"管理部"_s, 0.5)});
            if (!second.isEmpty())
                card.departments.append(departmentRecord(2, second, 0.5));
            qint32 account = 10;
            for (const auto &[department, rate] : rates)
                card.expenses.append(expenseRow(department, account++, rate));
            services.manualCards.append(id++);
        }
    }
};

// The totals line as shown, its red parts in brackets.
QString shownTotals(QWidget *wizard)
{
    QTextDocument document;
    document.setHtml(wizard->findChild<QLabel *>(u"lblRateTotals"_s)->text());
    QString shown;
    for (auto fragment = document.begin().begin(); !fragment.atEnd(); ++fragment) {
        const QTextCharFormat format = fragment.fragment().charFormat();
        const bool red = format.foreground().style() != Qt::NoBrush &&
                         format.foreground().color() == QColor(0xb0, 0, 0);
        const QString text = fragment.fragment().text();
        shown += red ? u'[' + text + u']' : text;
    }
    return shown;
}

} // namespace

class tst_RateTotals : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup();

    void departmentsAtFourDecimals_data();
    void departmentsAtFourDecimals();
    void followsEveryChange();
    void aNarrowLineKeepsTheFigures();
    void aCrowdedLineKeepsTheNames();
    void barColoursFollowTheRules();
    void barsTakeTheLinesPlaceWhenThereIsRoom_data();
    void barsTakeTheLinesPlaceWhenThereIsRoom();
    void barNamesReadWholeWhereTheyFit();
};

void tst_RateTotals::cleanup()
{
    unloadComponent();
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
}

void tst_RateTotals::departmentsAtFourDecimals_data()
{
    QTest::addColumn<Rates>("rates");
    QTest::addColumn<QString>("second");
    QTest::addColumn<QString>("shown");

    // The validation's edges: what it accepts reads 100 %, and nothing else does.
    QTest::newRow("0.99995 reads as 100 %")
        << Rates{{1, 0.99995}} << QString() << u"分配合计：管理部 100%"_s;
    QTest::newRow("99.99 % is short") << Rates{{1, 0.5}, {1, 0.4999}} << QString()
                                      << u"分配合计：[管理部 99.99%（还差 0.01%）]"_s;
    QTest::newRow("1.00005 is over")
        << Rates{{1, 1.00005}} << QString() << u"分配合计：[管理部 100.01%（超出 0.01%）]"_s;
    QTest::newRow("rows of no department of the card are shown after the departments")
        << Rates{{0, 0.5}, {3, 0.25}, {1, 1}} << QString()
        << u"分配合计：管理部 100%；[未指定部门 75%]"_s;
    // Black is what the save accepts: a row out of range spoils a whole 100 %.
    QTest::newRow("a rate out of range")
        << Rates{{1, 1.5}, {1, -0.5}} << QString() << u"分配合计：[管理部 100%]"_s;
}

void tst_RateTotals::departmentsAtFourDecimals()
{
    QFETCH(Rates, rates);
    QFETCH(QString, second);
    QFETCH(QString, shown);
    Cards cards({rates}, second);
    QString totals;
    runWizard([&](frmUpdateData &wizard) {
        startAdjustment(wizard);
        totals = shownTotals(&wizard);
    });
    QCOMPARE(totals, shown);
}

void tst_RateTotals::followsEveryChange()
{
    Cards cards({{{1, 0.5}, {1, 0.5}}, {{1, 0.4}}});
    QStringList seen;
    runWizard([&](frmUpdateData &wizard) {
        startAdjustment(wizard);
        seen.append(shownTotals(&wizard));
        click(&wizard, u"cmdDelete"_s);
        seen.append(shownTotals(&wizard));
        whenModalShown([&](QWidget *modal) {
            auto *editor = qobject_cast<frmExpenseEdit *>(modal);
            Q_EMIT editor->DataAdded(expenseRow(1, 20, 0.25));
            seen.append(shownTotals(&wizard));
            Q_EMIT editor->DataModified(expenseRow(1, 20, 0.5));
            seen.append(shownTotals(&wizard));
            editor->setEditMode(frmExpenseEdit::ModeView);
            editor->close();
        });
        click(&wizard, u"cmdAdd"_s);
        click(&wizard, u"cmdNext"_s);
        seen.append(shownTotals(&wizard));
        click(&wizard, u"cmdPrevious"_s);
        seen.append(shownTotals(&wizard));
    });
    QCOMPARE(seen,
             (QStringList{u"分配合计：管理部 100%"_s, u"分配合计：[管理部 50%（还差 50%）]"_s,
                          u"分配合计：[管理部 75%（还差 25%）]"_s, u"分配合计：管理部 100%"_s,
                          u"分配合计：[管理部 40%（还差 60%）]"_s, u"分配合计：管理部 100%"_s}));
}

void tst_RateTotals::aNarrowLineKeepsTheFigures()
{
    const QString longName = u"第一生产基地精密零件加工车间"_s;
    Cards cards({{{1, 0.25}, {2, 1}}}, longName);
    QLabel *line = nullptr;
    QString shown;
    QString whole;
    runWizard([&](frmUpdateData &wizard) {
        startAdjustment(wizard);
        line = wizard.findChild<QLabel *>(u"lblRateTotals"_s);
        shown = shownTotals(&wizard);
        whole = line->toolTip();
        QVERIFY(line->fontMetrics().horizontalAdvance(shown) <= line->contentsRect().width());
    });
    QCOMPARE(whole, u"分配合计：管理部 25%（还差 75%）；"_s + longName + u" 100%"_s);
    QVERIFY2(shown.contains(u"25%（还差 75%）]；"_s) && shown.endsWith(u"… 100%"_s),
             qPrintable(shown));
}

// Two departments with no rows and an old row: the shares keep their names, what each lacks goes.
void tst_RateTotals::aCrowdedLineKeepsTheNames()
{
    Cards cards({{{0, 1}}}, u"生产二车间"_s);
    QString shown;
    runWizard([&](frmUpdateData &wizard) {
        startAdjustment(wizard);
        shown = shownTotals(&wizard);
    });
    QCOMPARE(shown, u"[管理部 0%]；[生产二车间 0%]；[未指定部门 100%]"_s);
}

// A bar is green exactly when the finish check finds nothing of its department, grey for rows of
// no department of the card, red otherwise.
void tst_RateTotals::barColoursFollowTheRules()
{
    const FakeDesktop desktop;
    CardGenerator generate(20261209);
    const QList<QList<qint32>> departmentSets{{201}, {201, 202}, {203, 204, 205}, {202, 213}};
    QMap<SplitBars::State, int> seen;
    SplitBars bars;
    for (int card = 0; card < 400; ++card) {
        const QList<qint32> ids = departmentSets.at(card % departmentSets.size());
        RecordList departments = RecordList::create();
        for (const qint32 id : ids)
            departments.append(departmentRecord(id, u"部门%1"_s.arg(id), 1.0 / ids.size()));
        const RecordList rows = generate.rows(card + 1, ids);

        fillSplitBars(&bars, cardTotals(departments, rows));
        const AllocationFaults faults = cardFaults(departments, rows);
        QList<SplitBars::State> expected;
        for (const qint32 id : ids) {
            const bool faulty = std::any_of(faults.begin(), faults.end(),
                                            [id](const auto &f) { return f.departmentId == id; });
            expected.append(faulty ? SplitBars::State::Faulty : SplitBars::State::Accepted);
        }
        if (breaks(faults, AllocationRule::RowOutsideDepartments))
            expected.append(SplitBars::State::Unassigned);
        QList<SplitBars::State> shown;
        for (const SplitBars::Bar &bar : bars.bars()) {
            shown.append(bar.state);
            ++seen[bar.state];
        }
        QVERIFY2(shown == expected, qPrintable(u"card %1"_s.arg(card)));
    }
    // Every colour is common, or the property says little.
    for (const auto state :
         {SplitBars::State::Accepted, SplitBars::State::Faulty, SplitBars::State::Unassigned})
        QVERIFY2(seen.value(state) > 20, qPrintable(QString::number(seen.value(state))));
}

void tst_RateTotals::barsTakeTheLinesPlaceWhenThereIsRoom_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("oneBar");
    QTest::addColumn<bool>("bars");
    QTest::newRow("designed size: the line") << QSize() << false << false;
    // One bar would fit in the line's height: the designed size still keeps the line.
    QTest::newRow("designed size, one bar: the line") << QSize() << true << false;
    QTest::newRow("a few pixels taller: the line") << QSize(0, 4) << false << false;
    QTest::newRow("grown: the bars") << QSize(900, 560) << false << true;
    QTest::newRow("grown, one bar: the bars") << QSize(900, 560) << true << true;
}

void tst_RateTotals::barsTakeTheLinesPlaceWhenThereIsRoom()
{
    QFETCH(QSize, size);
    QFETCH(bool, oneBar);
    QFETCH(bool, bars);
    Cards cards({oneBar ? Rates{{1, 1}} : Rates{{1, 1}, {2, 0.5}, {0, 0.3}}},
                oneBar ? QString() : u"生产二车间"_s);
    bool lineShown = false;
    bool barsShown = false;
    QList<SplitBars::Bar> shown;
    QString description;
    QString whole;
    QRect barsPlace;
    QRect list;
    runWizard([&](frmUpdateData &wizard) {
        startAdjustment(wizard);
        if (size.width() == 0)
            size = wizard.size() + size;
        if (size.isValid())
            wizard.resize(size);
        const auto *splitBars = wizard.findChild<SplitBars *>(u"splitBars"_s);
        const auto *line = wizard.findChild<QLabel *>(u"lblRateTotals"_s);
        lineShown = line->isVisible();
        barsShown = splitBars->isVisible();
        shown = splitBars->bars();
        description = splitBars->accessibleDescription();
        whole = line->toolTip();
        barsPlace = splitBars->geometry();
        list = wizard.findChild<QWidget *>(u"lvExpense"_s)->geometry();
    });
    QCOMPARE(lineShown, !bars);
    QCOMPARE(barsShown, bars);
    QCOMPARE(shown.size(), oneBar ? 1 : 3);
    QCOMPARE(shown[0].shareText, u"100%"_s);
    QCOMPARE(shown[0].state, SplitBars::State::Accepted);
    if (!oneBar) {
        QCOMPARE(shown[1].state, SplitBars::State::Faulty);
        QCOMPARE(shown[2].state, SplitBars::State::Unassigned);
    }
    QCOMPARE(description, whole);
    if (bars)
        QVERIFY(barsPlace.top() > list.bottom());
}

void tst_RateTotals::barNamesReadWholeWhereTheyFit()
{
    // The names' widths are fractions of a pixel, which whole pixels must not cut short.
    SplitBars bars;
    bars.resize(600, 100);
    const QStringList names{u"No department"_s, u"生产一车间"_s, u"Finance"_s};
    QList<SplitBars::Bar> shown;
    for (const QString &name : names)
        shown.append({name, 0.5, u"50%"_s, SplitBars::State::Faulty});
    bars.setBars(shown, QString());
    QCOMPARE(bars.shownNames(), names);
    // Too narrow, they are cut short rather than run into the bars.
    bars.resize(100, 100);
    QVERIFY(bars.shownNames().first().endsWith(u'…'));
}

QTEST_MAIN(tst_RateTotals)
#include "tst_ratetotals.moc"
