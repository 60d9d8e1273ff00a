#include "accountset/DemoData.h"
#include "allocation/AllocationState.h"
#include "allocation/AllocationTexts.h"
#include "contracts/CardServices.h"
#include "desktop/SharedProperties.h"
#include "dialogs/DialogRegistration.h"
#include "entry/ComponentUnload.h"
#include "entry/ShowUpdate.h"
#include "host/MMTS.h"
#include "host/ObjectRegistry.h"
#include "host/ProgIds.h"
#include "records/FieldRecord.h"
#include "records/RecordFields.h"
#include "services/HostServices.h"
#include "support/MessageRecorder.h"
#include "support/ModalDriver.h"
#include "support/WizardDriver.h"
#include "widgets/ItemGrid.h"
#include "wizard/frmUpdateData.h"

#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace AllocFix;
using namespace AllocFix::Testing;

namespace {

// One line of the expense list as the user reads it.
QStringList rowTexts(const QTreeWidgetItem *row)
{
    QStringList texts;
    for (int column = 0; column < 4; ++column)
        texts.append(row->text(column));
    return texts;
}

QList<QStringList> shownRows(const frmUpdateData &wizard)
{
    const auto *list = wizard.findChild<QTreeWidget *>(u"lvExpense"_s);
    QList<QStringList> rows;
    for (int index = 0; index < list->topLevelItemCount(); ++index)
        rows.append(rowTexts(list->topLevelItem(index)));
    return rows;
}

// The same line, built from a stored row.
QStringList storedRowTexts(const FieldRecord &row)
{
    return {AllocationTexts::DepartmentName(row.value(Fields::FDeptID).toInt()),
            row.value(Fields::FAcctNumber).toText() + u" - "_s +
                row.value(Fields::FAcctName).toText(),
            AllocationTexts::ItemListText(row.value(Fields::Detail).toList()),
            formatNumber(100 * row.value(Fields::FRate).toDouble())};
}

qint32 cardIdAt(const frmUpdateData &wizard, qsizetype position)
{
    return wizard.vecFalterID().at(position).value(Fields::FAlterID).toInt();
}

// Re-allocates a card per department, the way a user does with the editor: every legacy row
// (no department) is given once to each of the card's departments, with its own rate, so each
// department's rates add up as the legacy rows' did.
void allocatePerDepartment(RecordList rows, const RecordList &departments, qint32 cardId)
{
    RecordList legacy = RecordList::create();
    for (qsizetype p = rows.count(); p >= 1; --p) {
        if (rows.at(p).value(Fields::FDeptID).toInt() == 0) {
            legacy.append(rows.at(p));
            rows.remove(p);
        }
    }
    for (qsizetype d = 1; d <= departments.count(); ++d) {
        for (qsizetype p = legacy.count(); p >= 1; --p) {
            FieldRecord row = legacy.at(p).copy();
            row.setValue(Fields::FDeptID, departments.at(d).value(Fields::FItemID).toInt());
            row.setValue(Fields::FAlterID, cardId);
            rows.append(row);
        }
    }
}

} // namespace

class tst_Adjustment : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void adjustAndSaveOnTheAccountSet();
    void aSetWithoutManualWorkClosesAtOnce();
    void addARowThroughTheEditor();
    void grownNoDemoTextIsCut();

private:
    QTemporaryDir m_folder;
    QString m_props;
};

void tst_Adjustment::init()
{
    QVERIFY(m_folder.isValid());
    FixedAssets::registerHostServices();
    FixedAssets::registerHostDialogs();
}

void tst_Adjustment::cleanup()
{
    unloadComponent();
    FixedAssets::clearSharedProperties();
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
}

void tst_Adjustment::adjustAndSaveOnTheAccountSet()
{
    const QString location =
        FixedAssets::createDemoAccountSet(u"sqlite:"_s + m_folder.filePath(u"adjust.fa"_s), 10);
    FixedAssets::publishPropsString(u"Language=CHS;AcctSet="_s + location + u';');
    const QString props = MMTS::GetPropsString();
    const FieldRecord before =
        createService<ICardInfo>(ProgId::CardInfo)->CheckDataForUpDate(props);
    const qint32 total = before.value(Fields::Total).toInt();
    const qint32 manual = before.value(Fields::Manual).toInt();
    QVERIFY(manual > 0 && total > manual);

    QString report;
    QList<qint32> cardIds;
    QList<QList<QStringList>> shown;
    QList<RecordList> allocated;
    const MessageRecorder messages;
    runWizard([&](frmUpdateData &wizard) {
        click(&wizard, u"btNext"_s);
        click(&wizard, u"btCheckCard"_s);
        report = wizard.findChild<QPlainTextEdit *>(u"CheckInfo"_s)->toPlainText();
        click(&wizard, u"btUpdate"_s);
        QCOMPARE(wizard.vecFalterID().count(), qsizetype(manual));

        // Visit every card and re-allocate it, then page through them all again: what the
        // list shows comes from the allocations the save will send.
        for (qsizetype p = 1; p <= manual; ++p) {
            if (p > 1)
                click(&wizard, u"cmdNext"_s);
            qint32 cardId = cardIdAt(wizard, p);
            cardIds.append(cardId);
            const RecordList departments =
                createService<ICardInfo>(ProgId::CardInfo)->GetDept(props, cardId);
            allocatePerDepartment(wizard.AllDict().value(QString::number(p)).toList(), departments,
                                  cardId);
        }
        click(&wizard, u"cmdFirst"_s);
        for (qsizetype p = 1; p <= manual; ++p) {
            if (p > 1)
                click(&wizard, u"cmdNext"_s);
            shown.append(shownRows(wizard));
            allocated.append(CloneRecordList(wizard.AllDict().value(QString::number(p)).toList()));
        }
        click(&wizard, u"cmdFinish"_s);
    });

    QVERIFY2(messages.messages().isEmpty(), qPrintable(messages.texts().join(u'\n')));
    QCOMPARE(shown.size(), qsizetype(manual));
    for (const QList<QStringList> &rows : std::as_const(shown))
        QVERIFY(rows.size() >= 2);
    QVERIFY(report.contains(QString::number(total)));
    QCOMPARE(ShowUpdate().UpdateResult(), -1);

    // The account set holds exactly the rows the user saw.
    const auto cardInfo = createService<ICardInfo>(ProgId::CardInfo);
    for (qsizetype index = 0; index < cardIds.size(); ++index) {
        qint32 cardId = cardIds[index];
        const RecordList saved = cardInfo->GetExpense(props, cardId);
        QCOMPARE(saved.count(), qsizetype(shown[index].size()));
        for (qsizetype p = 1; p <= saved.count(); ++p) {
            const FieldRecord row = saved.at(p);
            const FieldRecord sent = allocated[index].at(p);
            QCOMPARE(storedRowTexts(row), shown[index][p - 1]);
            for (const QString &field : {Fields::FDeptID, Fields::FAcctID, Fields::FAlterID})
                QCOMPARE(row.value(field).toInt(), sent.value(field).toInt());
            QCOMPARE(row.value(Fields::FRate).toDouble(), sent.value(Fields::FRate).toDouble());
        }
    }
    const FieldRecord after = cardInfo->CheckDataForUpDate(props);
    QCOMPARE(after.value(Fields::Total).toInt(), 0);
    QCOMPARE(after.value(Fields::Manual).toInt(), 0);
}

void tst_Adjustment::aSetWithoutManualWorkClosesAtOnce()
{
    // One card: three in five demo cards are adjusted by the service itself.
    const QString location =
        FixedAssets::createDemoAccountSet(u"sqlite:"_s + m_folder.filePath(u"automatic.fa"_s), 1);
    FixedAssets::publishPropsString(u"Language=CHS;AcctSet="_s + location + u';');
    const QString props = MMTS::GetPropsString();
    QCOMPARE(createService<ICardInfo>(ProgId::CardInfo)
                 ->CheckDataForUpDate(props)
                 .value(Fields::Manual)
                 .toInt(),
             0);

    bool closedByAdjustment = false;
    runWizard([&](frmUpdateData &wizard) {
        startAdjustment(wizard);
        closedByAdjustment = !wizard.isVisible();
    });
    QVERIFY(closedByAdjustment);
    QCOMPARE(ShowUpdate().UpdateResult(), -1);
    QCOMPARE(createService<ICardInfo>(ProgId::CardInfo)
                 ->CheckDataForUpDate(props)
                 .value(Fields::Total)
                 .toInt(),
             0);
}

void tst_Adjustment::addARowThroughTheEditor()
{
    const QString location =
        FixedAssets::createDemoAccountSet(u"sqlite:"_s + m_folder.filePath(u"editor.fa"_s), 10);
    FixedAssets::publishPropsString(u"Language=CHS;AcctSet="_s + location + u';');
    const MessageRecorder messages;
    qsizetype rowsBefore = 0;
    QStringList gridRows;
    QList<QStringList> shown;
    FieldRecord stored;
    qint32 cardId = 0;
    qint32 departmentId = 0;

    runWizard([&](frmUpdateData &wizard) {
        startAdjustment(wizard);
        cardId = cardIdAt(wizard, 1);
        rowsBefore = wizard.AllDict().value(u"1"_s).toList().count();
        whenNextModalShown([&](QWidget *editor) {
            // The department: the first of the card's own.
            whenNextModalShown([](QWidget *departments) {
                departments->findChild<QPushButton *>(u"btSure"_s)->click();
            });
            editor->findChild<QToolButton *>(u"btDept"_s)->click();
            departmentId = CurrentDeptID;
            editor->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(editor));

            // The account, typed; its one item class comes from the account set.
            auto *account = editor->findChild<QLineEdit *>(u"txtExpenseAcct"_s);
            account->setFocus();
            QTest::keyClicks(account, u"6601.01"_s);
            QTest::keyClick(account, Qt::Key_Tab);
            auto *grid = editor->findChild<ItemGrid *>(u"kgItem"_s);
            for (int row = grid->headerRows() + 1; row <= grid->rows(); ++row)
                gridRows.append(grid->cellText(row, 1) + u'=' + grid->cellText(row, 2));

            // The item, chosen in the host's item lookup.
            whenNextModalShown([](QWidget *lookup) {
                QTest::keyClicks(lookup->findChild<QLineEdit *>(u"txtFilter"_s), u"01.01"_s);
                QTest::mouseClick(lookup->findChild<QPushButton *>(u"cmdOK"_s), Qt::LeftButton);
            });
            grid->setFocus();
            grid->setCurrentCell(0, 1);
            QTest::keyClick(grid, Qt::Key_F7);

            editor->findChild<QDoubleSpinBox *>(u"fltRate"_s)->setValue(100);
            QTest::mouseClick(editor->findChild<QPushButton *>(u"btSave"_s), Qt::LeftButton);
            QTest::mouseClick(editor->findChild<QPushButton *>(u"btClose"_s), Qt::LeftButton);
        });
        click(&wizard, u"cmdAdd"_s);
        shown = shownRows(wizard);
        const RecordList rows = wizard.AllDict().value(u"1"_s).toList();
        stored = rows.at(rows.count());
    });

    QVERIFY2(messages.messages().isEmpty(), qPrintable(messages.texts().join(u'\n')));
    QCOMPARE(gridRows, QStringList{u"部门=..."_s});
    QCOMPARE(shown.size(), rowsBefore + 1);
    QCOMPARE(shown.last().mid(1),
             (QStringList{u"6601.01 - 销售费用-折旧费"_s, u"/部门-管理部"_s, u"100"_s}));
    QCOMPARE(stored.value(Fields::FAlterID).toInt(), cardId);
    QVERIFY(departmentId != 0);
    QCOMPARE(stored.value(Fields::FDeptID).toInt(), departmentId);
    QCOMPARE(stored.value(Fields::FAcctID).toInt(), 660101);
    QCOMPARE(stored.value(Fields::FRate).toDouble(), 1.0);
    QCOMPARE(stored.value(Fields::Detail).toList().at(1).value(Fields::FItemID).toInt(), 201);
}

// The texts of the expense and department lists that do not fit their columns, as "text (needed >
// width)": a view shortens such a text with an ellipsis.
QStringList cutTexts(const QTreeWidget *list, const QList<int> &columns)
{
    const QFontMetrics metrics = list->fontMetrics();
    const int margins =
        2 * (list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1);
    QStringList cut;
    for (int index = 0; index < list->topLevelItemCount(); ++index) {
        for (const int column : columns) {
            const QString text = list->topLevelItem(index)->text(column);
            const int needed = metrics.horizontalAdvance(text) + margins;
            if (needed > list->columnWidth(column)) {
                cut.append(u"%1 (%2 > %3)"_s.arg(text, QString::number(needed),
                                                 QString::number(list->columnWidth(column))));
            }
        }
    }
    return cut;
}

// At 900 × 560 every account, item and department of the demo set reads whole.
void tst_Adjustment::grownNoDemoTextIsCut()
{
    const QString location =
        FixedAssets::createDemoAccountSet(u"sqlite:"_s + m_folder.filePath(u"grown.fa"_s), 60);
    FixedAssets::publishPropsString(u"Language=CHS;AcctSet="_s + location + u';');
    QStringList cut;
    QSet<QString> accounts;
    int rows = 0;
    runWizard([&](frmUpdateData &wizard) {
        startAdjustment(wizard);
        wizard.resize(900, 560);
        const auto *expenses = wizard.findChild<QTreeWidget *>(u"lvExpense"_s);
        const auto *departments = wizard.findChild<QTreeWidget *>(u"lvDept"_s);
        for (qsizetype p = 1; p <= wizard.vecFalterID().count(); ++p) {
            if (p > 1)
                click(&wizard, u"cmdNext"_s);
            cut += cutTexts(expenses, {0, 1, 2});
            cut += cutTexts(departments, {0});
            rows += expenses->topLevelItemCount();
            for (int index = 0; index < expenses->topLevelItemCount(); ++index)
                accounts.insert(expenses->topLevelItem(index)->text(1));
        }
    });
    QVERIFY2(rows > 10 && accounts.size() > 1, qPrintable(QString::number(rows)));
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(u"; "_s)));
}

QTEST_MAIN(tst_Adjustment)
#include "tst_adjustment.moc"
