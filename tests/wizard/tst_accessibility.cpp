#include "editors/frmDept.h"
#include "editors/frmExpenseEdit.h"
#include "entry/ComponentUnload.h"
#include "support/AllocationRecords.h"
#include "support/FakeAccountLookups.h"
#include "support/FakeCardServices.h"
#include "support/FakeDesktop.h"
#include "support/FakeItemService.h"
#include "support/ModalDriver.h"
#include "support/WizardDriver.h"
#include "wizard/frmUpdateData.h"

#include <QAccessible>
#include <QtTest>

#include <functional>

using namespace Qt::StringLiterals;
using namespace AllocFix;
using namespace AllocFix::Testing;

namespace {

// What a user operates or reads; frames and panes only hold these, and the pictures are
// decoration.
bool isControl(QAccessible::Role role)
{
    switch (role) {
    case QAccessible::Client:
    case QAccessible::Pane:
    case QAccessible::Border:
    case QAccessible::Graphic:
    case QAccessible::Grouping:
    case QAccessible::Separator:
    case QAccessible::ScrollBar:
    case QAccessible::Window:
    case QAccessible::Dialog:
        return false;
    default:
        return true;
    }
}

// "objectName (role)" of every enabled control under the interface that has no name, as a
// screen reader walking the accessibility tree would meet it.
void collectNameless(QAccessibleInterface *node, QStringList &nameless)
{
    for (int index = 0; index < node->childCount(); ++index) {
        QAccessibleInterface *child = node->child(index);
        if (!child)
            continue;
        if (isControl(child->role()) && !child->state().disabled &&
            child->text(QAccessible::Name).trimmed().isEmpty()) {
            const QObject *object = child->object();
            nameless.append(u"%1 (%2)"_s.arg(object ? object->objectName() : u"?"_s)
                                .arg(int(child->role()), 0, 16));
        }
        collectNameless(child, nameless);
    }
}

QStringList namelessControls(QWidget *form)
{
    QStringList nameless;
    collectNameless(QAccessible::queryAccessibleInterface(form), nameless);
    return nameless;
}

struct Cards {
    FakeDesktop desktop;
    FakeCardServices services;
    FakeItemService items;
    FakeAccountLookups lookups;

    Cards()
    {
        items.addDepartment(1, u"管理部"_s);
        lookups.addAccount({10, u"6602.10"_s, u"费用10"_s, true, {{2, u"项目"_s}}});
        FakeCardServices::Card &card = services.addCard(101);
        card.departments = recordList({departmentRecord(1, u"管理部"_s, 1)});
        card.expenses = recordList({expenseRow(1, 10, 0.5, {itemRecord(u"项目"_s, u"A"_s, 5)})});
        services.manualCards = {101};
    }
};

// Each opens one form offscreen, on one card, and hands it to check before closing it.
using Walk = std::function<void(const std::function<void(QWidget *)> &check)>;

void wizard(const std::function<void(QWidget *)> &check)
{
    runWizard([&](frmUpdateData &wizard) {
        startAdjustment(wizard);
        check(&wizard);
    });
}

void checkAndSaveDialog(const std::function<void(QWidget *)> &check)
{
    runWizard([&](frmUpdateData &wizard) {
        startAdjustment(wizard);
        whenCheckResultShown([&](QWidget *dialog) {
            check(dialog);
            dialog->close();
        });
        click(&wizard, u"cmdFinish"_s);
    });
}

void expenseEditor(const std::function<void(QWidget *)> &check)
{
    frmExpenseEdit editor;
    editor.setDepData(recordList({departmentRecord(1, u"管理部"_s, 1)}));
    editor.setEditMode(frmExpenseEdit::ModeEdit);
    editor.setData(expenseRow(1, 10, 0.5, {itemRecord(u"项目"_s, u"A"_s, 5)}));
    whenModalShown([&](QWidget *shown) {
        check(shown);
        editor.setEditMode(frmExpenseEdit::ModeView);
        shown->close();
    });
    editor.showModal();
}

void departmentDialog(const std::function<void(QWidget *)> &check)
{
    frmDept dialog;
    dialog.setAssetName(u"资产101"_s);
    dialog.setData(recordList({departmentRecord(1, u"管理部"_s, 1)}));
    whenModalShown([&](QWidget *shown) {
        check(shown);
        shown->close();
    });
    dialog.showModal();
}

} // namespace

class tst_Accessibility : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup();

    void everyControlHasAName_data();
    void everyControlHasAName();
};

void tst_Accessibility::cleanup()
{
    unloadComponent();
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
}

void tst_Accessibility::everyControlHasAName_data()
{
    QTest::addColumn<Walk>("walk");
    QTest::newRow("wizard") << Walk(wizard);
    QTest::newRow("check-and-save dialog") << Walk(checkAndSaveDialog);
    QTest::newRow("expense editor") << Walk(expenseEditor);
    QTest::newRow("department dialog") << Walk(departmentDialog);
}

void tst_Accessibility::everyControlHasAName()
{
    QFETCH(Walk, walk);
    const Cards cards;
    QStringList nameless{u"the form was not shown"_s};
    walk([&](QWidget *form) { nameless = namelessControls(form); });
    QVERIFY2(nameless.isEmpty(), qPrintable(u"No name: "_s + nameless.join(u", "_s)));
}

QTEST_MAIN(tst_Accessibility)
#include "tst_accessibility.moc"
