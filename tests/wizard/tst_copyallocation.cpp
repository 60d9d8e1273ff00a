#include "entry/ComponentUnload.h"
#include "records/RecordFields.h"
#include "support/AccessibleNames.h"
#include "support/AllocationRecords.h"
#include "support/FakeCardServices.h"
#include "support/FakeDesktop.h"
#include "support/FakeItemService.h"
#include "support/MessageRecorder.h"
#include "support/ModalDriver.h"
#include "support/WizardDriver.h"
#include "wizard/frmUpdateData.h"

#include <QLabel>
#include <QTreeWidget>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace AllocFix;
using namespace AllocFix::Testing;

namespace {

// Cards 101.. in this order: departments, then the accounts of their legacy rows (no department).
struct CardShape {
    QList<qint32> departments;
    QList<qint32> legacyAccounts;
};

struct Cards {
    FakeDesktop desktop;
    FakeCardServices services;
    FakeItemService itemService;
    MessageRecorder messages;

    explicit Cards(const QList<CardShape> &shapes)
    {
        qint32 id = 101;
        for (const CardShape &shape : shapes) {
            FakeCardServices::Card &card = services.addCard(id);
            for (const qint32 department : shape.departments)
                card.departments.append(departmentRecord(department, u"部门"_s, 0.5));
            for (const qint32 account : shape.legacyAccounts)
                card.expenses.append(expenseRow(0, account, 0.5));
            services.manualCards.append(id++);
        }
    }
};

// Each stored row of the card as "card dept account rate"; "-" when the card was never loaded.
QStringList storedRows(const frmUpdateData &wizard, int position)
{
    const QString key = QString::number(position);
    if (wizard.dirtVect().value(key).toText() != u"1")
        return {u"-"_s};
    const RecordList rows = wizard.AllDict().value(key).toList();
    QStringList shown;
    for (qsizetype row = 1; row <= rows.count(); ++row) {
        const FieldRecord record = rows.at(row);
        shown.append(u"%1 %2 %3 %4"_s.arg(
            record.value(Fields::FAlterID).toText(), record.value(Fields::FDeptID).toText(),
            record.value(Fields::FAcctID).toText(), record.value(Fields::FRate).toText()));
    }
    return shown;
}

// Card 1's allocation as the user would have made it: one row per department.
void allocateFirstCard(frmUpdateData &wizard)
{
    RecordList rows = wizard.AllDict().value(u"1"_s).toList();
    rows.remove(1, rows.count());
    FieldRecord first = expenseRow(1, 30, 1);
    first.setValue(Fields::FAlterID, 101);
    rows.append(first);
    rows.append(expenseRow(2, 31, 1));
}

} // namespace

class tst_CopyAllocation : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup();

    void copiesToTheCardsAllocatedAlike_data();
    void copiesToTheCardsAllocatedAlike();
    void nothingToCopy_data();
    void nothingToCopy();
    void searchShowsItsProgressOnAGrownPage();
};

void tst_CopyAllocation::cleanup()
{
    unloadComponent();
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
}

void tst_CopyAllocation::copiesToTheCardsAllocatedAlike_data()
{
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<bool>("keys");
    for (const bool keys : {false, true}) {
        const char *asked = keys ? "keys of all cards" : "card by card";
        QTest::addRow("copy, %s", asked) << true << keys;
        QTest::addRow("cancel, %s", asked) << false << keys;
    }
}

void tst_CopyAllocation::copiesToTheCardsAllocatedAlike()
{
    QFETCH(bool, confirm);
    QFETCH(bool, keys);
    Cards cards({{{1, 2}, {10, 11}},
                 {{2, 1}, {11, 10, 10}}, // alike, in another order, not yet shown
                 {{1, 2}, {10}},         // another legacy account
                 {{1, 3}, {10, 11}},     // another department
                 {{1, 2}, {10, 11}},     // alike, but its rows cannot be read
                 {{1, 2}, {10, 11}},     // alike, but the service has no such card any more
                 {{1, 2}, {10, 11}}});   // alike, shown and changed before
    cards.services.offersCopyKeys = keys;
    cards.services.failing = QStringList{u"GetExpense 105"_s};
    QString count;
    QStringList listed;
    QString unreadable;
    QStringList nameless;
    QStringList asked;
    QList<QStringList> stored;
    runWizard([&](frmUpdateData &wizard) {
        startAdjustment(wizard);
        click(&wizard, u"cmdLast"_s);
        wizard.AllDict().value(u"7"_s).toList().remove(1);
        click(&wizard, u"cmdFirst"_s);
        allocateFirstCard(wizard);
        cards.services.cards.remove(106);
        const qsizetype callsBefore = cards.services.calls.size();
        whenNextModalShown([&](QWidget *dialog) {
            count = dialog->findChild<QLabel *>(u"lblCount"_s)->text();
            auto *list = dialog->findChild<QTreeWidget *>(u"lvCards"_s);
            for (int row = 0; row < list->topLevelItemCount(); ++row) {
                const QTreeWidgetItem *item = list->topLevelItem(row);
                listed.append(item->text(0) + u' ' + item->text(1) + u' ' + item->text(2));
            }
            unreadable = dialog->findChild<QLabel *>(u"lblUnreadable"_s)->text();
            nameless = namelessControls(dialog);
            click(dialog, confirm ? u"cmdOK"_s : u"cmdCancel"_s);
        });
        click(&wizard, u"cmdCopy"_s);
        asked = cards.services.calls.mid(callsBefore);
        for (int position = 1; position <= 7; ++position)
            stored.append(storedRows(wizard, position));
    });

    QCOMPARE(count, u"将要修改的卡片数量： 2"_s);
    QCOMPARE(listed, (QStringList{u"2 ZC102 资产102"_s, u"7 ZC107 资产107"_s}));
    QCOMPARE(unreadable, u"无法读取、不会修改的卡片： 5、6"_s);
    QVERIFY2(nameless.isEmpty(), qPrintable(nameless.join(u", "_s)));
    // Card by card: one look at each card's departments, rows only of the source and the cards
    // whose departments match. With keys: one call for all of them, rows only of the source and
    // the cards alike.
    QStringList rowsAsked{u"GetExpense 101"_s, u"GetExpense 102"_s};
    if (!keys)
        rowsAsked.append(u"GetExpense 103"_s);
    rowsAsked.append({u"GetExpense 105"_s, u"GetExpense 107"_s});
    QCOMPARE(asked.filter(u"GetExpense"_s), rowsAsked);
    QCOMPARE(asked.filter(u"GetDept"_s).size(), keys ? 1 : 7);
    QCOMPARE(asked.count(u"GetCopyKeys"_s), keys ? 1 : 0);

    const QStringList source{u"101 1 30 1"_s, u" 2 31 1"_s};
    QCOMPARE(stored[0], source);
    if (confirm) {
        QCOMPARE(stored[1], (QStringList{u"102 1 30 1"_s, u"102 2 31 1"_s}));
        QCOMPARE(stored[6], (QStringList{u"107 1 30 1"_s, u"107 2 31 1"_s}));
    } else {
        QCOMPARE(stored[1], QStringList{u"-"_s});
        QCOMPARE(stored[6], QStringList{u" 0 11 0.5"_s});
    }
    for (int position : {3, 4, 5, 6})
        QCOMPARE(stored[position - 1], QStringList{u"-"_s});
}

void tst_CopyAllocation::nothingToCopy_data()
{
    QTest::addColumn<bool>("rows");
    QTest::addColumn<QString>("message");
    QTest::newRow("no rows") << false << u"当前卡片还没有折旧费用分配，没有可以复制的内容。"_s;
    QTest::newRow("no card alike") << true << u"没有其他卡片的部门和原科目与当前卡片相同。"_s;
}

void tst_CopyAllocation::nothingToCopy()
{
    QFETCH(bool, rows);
    QFETCH(QString, message);
    Cards cards({{{1, 2}, rows ? QList<qint32>{10} : QList<qint32>{}}, {{1, 2}, {11}}});
    runWizard([&](frmUpdateData &wizard) {
        startAdjustment(wizard);
        click(&wizard, u"cmdCopy"_s);
    });
    QCOMPARE(cards.messages.texts(), QStringList{message});
}

// Grown, the page shows bars in the totals line's place; the search still says how far it is.
void tst_CopyAllocation::searchShowsItsProgressOnAGrownPage()
{
    Cards cards({{{1, 2}, {10, 11}}, {{1, 2}, {10, 11}}});
    bool lineShown = false;
    QString progress;
    bool barsAfter = false;
    runWizard([&](frmUpdateData &wizard) {
        startAdjustment(wizard);
        wizard.resize(900, 560);
        auto *line = wizard.findChild<QLabel *>(u"lblRateTotals"_s);
        auto *bars = wizard.findChild<QWidget *>(u"splitBars"_s);
        // The search lets timers run each time it reports its progress.
        QTimer::singleShot(0, &wizard, [&] {
            lineShown = line->isVisible() && !bars->isVisible();
            progress = line->text();
        });
        whenNextModalShown([](QWidget *dialog) { dialog->close(); });
        click(&wizard, u"cmdCopy"_s);
        barsAfter = bars->isVisible() && !line->isVisible();
    });
    QVERIFY(lineShown);
    QVERIFY2(progress.endsWith(u" / 2"_s), qPrintable(progress));
    QVERIFY(barsAfter);
}

QTEST_MAIN(tst_CopyAllocation)
#include "tst_copyallocation.moc"
