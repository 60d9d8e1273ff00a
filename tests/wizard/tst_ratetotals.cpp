#include "editors/frmExpenseEdit.h"
#include "entry/ComponentUnload.h"
#include "support/AllocationRecords.h"
#include "support/FakeCardServices.h"
#include "support/FakeDesktop.h"
#include "support/FakeItemService.h"
#include "support/MessageRecorder.h"
#include "support/ModalDriver.h"
#include "support/WizardDriver.h"
#include "wizard/frmUpdateData.h"

#include <QLabel>
#include <QTextBlock>
#include <QTextDocument>
#include <QtTest>

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

QTEST_MAIN(tst_RateTotals)
#include "tst_ratetotals.moc"
