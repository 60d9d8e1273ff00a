#include "allocation/AllocationState.h"
#include "editors/frmDept.h"
#include "entry/ComponentUnload.h"
#include "forms/Twips.h"
#include "host/ErrorRecord.h"
#include "host/ProgIds.h"
#include "records/FieldRecord.h"
#include "records/RecordFields.h"
#include "support/AccessibleNames.h"
#include "support/FakeDesktop.h"
#include "support/IniSettingsStore.h"
#include "support/ModalDriver.h"
#include "widgets/ReportList.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QWindow>
#include <QtTest>

#include <functional>

using namespace Qt::StringLiterals;
using namespace AllocFix;
using AllocFix::Testing::FakeDesktop;
using AllocFix::Testing::IniSettingsStore;
using AllocFix::Testing::namelessControls;
using AllocFix::Testing::whenModalShown;

namespace {

struct Department {
    qint32 id;
    QString name;
    double rate;
};

RecordList departments(const QList<Department> &list)
{
    RecordList result = RecordList::create();
    for (const Department &department : list) {
        FieldRecord record = FieldRecord::create();
        record.setValue(Fields::FItemID, department.id);
        record.setValue(Fields::FItemName, department.name);
        record.setValue(Fields::FRate, department.rate);
        result.append(record);
    }
    return result;
}

const QList<Department> ThreeDepartments{
    {11, u"管理部"_s, 0.5}, {12, u"销售部"_s, 0.05}, {13, u"车间"_s, 0.25}};

QTreeWidget *list(QWidget *dialog)
{
    return dialog->findChild<QTreeWidget *>(u"lvDept"_s);
}

QPushButton *button(QWidget *dialog, const QString &name)
{
    return dialog->findChild<QPushButton *>(name);
}

// The rows as the view shows them: "name rate #tag".
QStringList shownRows(QWidget *dialog)
{
    QStringList rows;
    QTreeWidget *lv = list(dialog);
    for (int index = 0; index < lv->topLevelItemCount(); ++index) {
        const QTreeWidgetItem *row = lv->topLevelItem(index);
        rows.append(row->text(0) + u' ' + row->text(1) + u" #"_s + rowTag(row));
    }
    return rows;
}

void clickHeader(QWidget *dialog, int column)
{
    QHeaderView *header = list(dialog)->header();
    const QPoint point(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                       header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, point);
}

void doubleClickRow(QWidget *dialog, int index)
{
    QTreeWidget *lv = list(dialog);
    const QPoint point = lv->visualItemRect(lv->topLevelItem(index)).center();
    QTest::mouseClick(lv->viewport(), Qt::LeftButton, {}, point);
    QTest::mouseDClick(lv->viewport(), Qt::LeftButton, {}, point);
}

// The application-wide Shift state, as the keyboard sets it.
void setShift(bool down)
{
    QWindow keyboard;
    if (down)
        QTest::keyPress(&keyboard, Qt::Key_Shift, Qt::ShiftModifier);
    else
        QTest::keyRelease(&keyboard, Qt::Key_Shift, Qt::NoModifier);
}

// Opens the dialog on the given departments and runs the test's steps on it; closes it with
// btClose when the steps leave it open.
void openDialog(const RecordList &data, const QString &assetName,
                const std::function<void(QWidget *dialog)> &steps)
{
    frmDept dialog;
    dialog.setAssetName(assetName);
    dialog.setData(data);
    whenModalShown([steps](QWidget *shown) {
        steps(shown);
        if (shown->isVisible())
            button(shown, u"btClose"_s)->click();
    });
    dialog.showModal();
}

} // namespace

class tst_DeptDialog : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup();

    void loadShowsTheAllocation();
    void assetNameInTheLabel_data();
    void assetNameInTheLabel();
    void captionsAreLocalised();
    void worksOnItsOwnCopy();

    void sortThenPick_data();
    void sortThenPick();
    void closingPicksNothing_data();
    void closingPicksNothing();
    void pickWithoutRowsDoesNothing();
    void helpKey();

    void widthsPersist();
    void shiftKeepsWidths_data();
    void shiftKeepsWidths();
    void failedLoadKeepsStoredWidths();
};

void tst_DeptDialog::cleanup()
{
    setShift(false);
    unloadComponent();
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
}

void tst_DeptDialog::loadShowsTheAllocation()
{
    FakeDesktop desktop;
    RecordList data = departments(ThreeDepartments);
    data.at(3).setValue(Fields::FRate, 1.0 / 3);
    QStringList rows;
    QString title;
    QList<QTreeWidgetItem *> selected;
    QStringList enabled, nameless;

    openDialog(data, u"办公楼"_s, [&](QWidget *dialog) {
        rows = shownRows(dialog);
        title = dialog->windowTitle();
        nameless = namelessControls(dialog);
        selected = list(dialog)->selectedItems();
        for (QPushButton *control : dialog->findChildren<QPushButton *>()) {
            if (control->isEnabled())
                enabled.append(control->objectName());
        }
        QVERIFY(selected.size() == 1 && selected.first() == list(dialog)->topLevelItem(0));
    });

    QCOMPARE(rows,
             (QStringList{u"管理部 50 #1"_s, u"销售部 5 #2"_s, u"车间 33.3333333333333 #3"_s}));
    QCOMPARE(title, u"部门分配情况 - 编辑"_s);
    QCOMPARE(nameless.join(u", "_s), QString());
    enabled.sort();
    QCOMPARE(enabled, (QStringList{u"btClose"_s, u"btSure"_s}));
    QCOMPARE(desktop.fontRequests.size(), 1);
}

void tst_DeptDialog::assetNameInTheLabel_data()
{
    QTest::addColumn<QString>("assetName");
    QTest::addColumn<QString>("label");

    QTest::newRow("name") << u"办公楼"_s << u"办公楼 - 部门分配情况"_s;
    QTest::newRow("outer spaces trimmed") << u"  办公楼 "_s << u"办公楼 - 部门分配情况"_s;
    QTest::newRow("spaces only") << u"   "_s << u"部门分配情况"_s;
    QTest::newRow("none") << QString() << u"部门分配情况"_s;
}

void tst_DeptDialog::assetNameInTheLabel()
{
    QFETCH(QString, assetName);
    QFETCH(QString, label);
    FakeDesktop desktop;
    QString shown;
    openDialog(departments(ThreeDepartments), assetName, [&](QWidget *dialog) {
        shown = dialog->findChild<QLabel *>(u"lblAssetName"_s)->toolTip();
    });
    QCOMPARE(shown, label);
}

void tst_DeptDialog::captionsAreLocalised()
{
    FakeDesktop desktop;
    desktop.propsString = u"Language=ENG;"_s;
    QStringList captions;
    QString label;
    QString title;
    openDialog(departments(ThreeDepartments), u"Lift"_s, [&](QWidget *dialog) {
        for (const QString &name :
             {u"btSure"_s, u"btAdd"_s, u"btEdit"_s, u"btDelete"_s, u"btReset"_s, u"btClose"_s})
            captions.append(button(dialog, name)->text());
        QTreeWidgetItem *header = list(dialog)->headerItem();
        captions.append(header->text(0));
        captions.append(header->text(1));
        label = dialog->findChild<QLabel *>(u"lblAssetName"_s)->toolTip();
        title = dialog->windowTitle();
    });
    QCOMPARE(captions, (QStringList{u"<确定(&S)...>"_s, u"<增加(&A)...>"_s, u"<编辑(&E)...>"_s,
                                    u"<删除(&D)>"_s, u"<恢复(&R)>"_s, u"<关闭(&C)>"_s, u"[部门]"_s,
                                    u"[比例 %]"_s}));
    QCOMPARE(label, u"Lift - <部门分配情况>"_s);
    QCOMPARE(title, u"<部门分配情况> - <编辑>"_s);
}

void tst_DeptDialog::worksOnItsOwnCopy()
{
    FakeDesktop desktop;
    RecordList data = departments(ThreeDepartments);
    frmDept dialog;
    dialog.setData(data);
    data.at(1).setValue(Fields::FItemName, u"改名"_s);
    data.remove(2);
    QStringList rows;
    whenModalShown([&](QWidget *shown) {
        rows = shownRows(shown);
        button(shown, u"btSure"_s)->click();
    });
    dialog.showModal();
    QCOMPARE(rows.size(), 3);
    QCOMPARE(CurrentDeptName, u"管理部"_s);
    QCOMPARE(data.count(), 2);
}

void tst_DeptDialog::sortThenPick_data()
{
    QTest::addColumn<QList<int>>("headerClicks");
    QTest::addColumn<QString>("how");
    QTest::addColumn<QStringList>("order");
    QTest::addColumn<int>("pickedId");

    const QStringList asGiven{u"管理部"_s, u"销售部"_s, u"车间"_s};
    QTest::newRow("as given, second row") << QList<int>{} << u"btSure"_s << asGiven << 12;
    QTest::newRow("rate once: descending text")
        << QList<int>{1} << u"btSure"_s << QStringList{u"管理部"_s, u"销售部"_s, u"车间"_s} << 12;
    QTest::newRow("rate twice: ascending, 25 before 5")
        << QList<int>{1, 1} << u"btSure"_s << QStringList{u"车间"_s, u"销售部"_s, u"管理部"_s}
        << 12;
    QTest::newRow("name once: descending")
        << QList<int>{0} << u"double-click"_s << QStringList{u"销售部"_s, u"车间"_s, u"管理部"_s}
        << 12;
    QTest::newRow("each column keeps its flag")
        << QList<int>{1, 0, 1} << u"double-click"_s
        << QStringList{u"车间"_s, u"销售部"_s, u"管理部"_s} << 12;
}

void tst_DeptDialog::sortThenPick()
{
    QFETCH(QList<int>, headerClicks);
    QFETCH(QString, how);
    QFETCH(QStringList, order);
    QFETCH(int, pickedId);
    FakeDesktop desktop;
    CurrentDeptID = 0;
    CurrentDeptName.clear();
    QStringList names;
    bool closed = false;

    openDialog(departments(ThreeDepartments), QString(), [&](QWidget *dialog) {
        for (int column : headerClicks)
            clickHeader(dialog, column);
        QTreeWidget *lv = list(dialog);
        for (int index = 0; index < lv->topLevelItemCount(); ++index)
            names.append(lv->topLevelItem(index)->text(0));
        // Picks 销售部 wherever the sorting put it.
        const int row = static_cast<int>(names.indexOf(u"销售部"_s));
        if (how == u"btSure") {
            lv->setCurrentItem(lv->topLevelItem(row));
            QTest::mouseClick(button(dialog, u"btSure"_s), Qt::LeftButton);
        } else {
            doubleClickRow(dialog, row);
        }
        closed = !dialog->isVisible();
    });

    QCOMPARE(names, order);
    QVERIFY(closed);
    QCOMPARE(CurrentDeptID, pickedId);
    QCOMPARE(CurrentDeptName, u"销售部"_s);
}

void tst_DeptDialog::closingPicksNothing_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("btClose") << u"btClose"_s;
    QTest::newRow("close box") << u"close box"_s;
}

void tst_DeptDialog::closingPicksNothing()
{
    QFETCH(QString, how);
    FakeDesktop desktop;
    CurrentDeptID = 9;
    CurrentDeptName = u"旧部门"_s;
    bool openAfterEsc = false;

    openDialog(departments(ThreeDepartments), QString(), [&](QWidget *dialog) {
        QTreeWidget *lv = list(dialog);
        lv->setCurrentItem(lv->topLevelItem(2));
        QTest::keyClick(lv, Qt::Key_Escape);
        openAfterEsc = dialog->isVisible();
        if (how == u"btClose")
            QTest::mouseClick(button(dialog, u"btClose"_s), Qt::LeftButton);
        else
            dialog->close();
        QVERIFY(!dialog->isVisible());
    });

    QVERIFY(openAfterEsc);
    QCOMPARE(CurrentDeptID, 9);
    QCOMPARE(CurrentDeptName, u"旧部门"_s);
}

void tst_DeptDialog::pickWithoutRowsDoesNothing()
{
    FakeDesktop desktop;
    CurrentDeptID = 9;
    bool stillOpen = false;
    openDialog(RecordList(), QString(), [&](QWidget *dialog) {
        QCOMPARE(list(dialog)->topLevelItemCount(), 0);
        button(dialog, u"btSure"_s)->click();
        stillOpen = dialog->isVisible();
    });
    QVERIFY(stillOpen);
    QCOMPARE(CurrentDeptID, 9);
}

void tst_DeptDialog::helpKey()
{
    FakeDesktop desktop;
    openDialog(departments(ThreeDepartments), QString(), [&](QWidget *dialog) {
        QTest::keyClick(list(dialog), Qt::Key_F1);
        QTest::keyClick(list(dialog), Qt::Key_F2);
        QTest::keyClick(list(dialog), Qt::Key_F1);
    });
    QCOMPARE(desktop.helpCalls.size(), 2);
    QCOMPARE(desktop.helpCalls.first().context, 90041);
    QCOMPARE(desktop.helpCalls.first().text1, QString());
}

void tst_DeptDialog::widthsPersist()
{
    FakeDesktop desktop;
    IniSettingsStore settings;
    QList<int> design;
    openDialog(departments(ThreeDepartments), QString(), [&](QWidget *dialog) {
        QHeaderView *header = list(dialog)->header();
        design = {header->sectionSize(0), header->sectionSize(1)};
        header->resizeSection(0, 40);
        header->resizeSection(1, 130);
    });
    QCOMPARE(settings.stored(u"FA"_s, u"DeptList"_s, u"lvColWidth1"_s).toInt(), toTwips(40));
    QCOMPARE(settings.stored(u"FA"_s, u"DeptList"_s, u"lvColWidth2"_s).toInt(), toTwips(130));

    QList<int> restored;
    openDialog(departments(ThreeDepartments), QString(), [&](QWidget *dialog) {
        QHeaderView *header = list(dialog)->header();
        restored = {header->sectionSize(0), header->sectionSize(1)};
    });
    QCOMPARE(restored, (QList<int>{40, 130}));
    QVERIFY(design != restored);
}

void tst_DeptDialog::shiftKeepsWidths_data()
{
    QTest::addColumn<bool>("shiftWhileOpening");
    QTest::addColumn<bool>("shiftWhileClosing");
    QTest::newRow("while opening") << true << false;
    QTest::newRow("while closing") << false << true;
}

void tst_DeptDialog::shiftKeepsWidths()
{
    QFETCH(bool, shiftWhileOpening);
    QFETCH(bool, shiftWhileClosing);
    FakeDesktop desktop;
    IniSettingsStore settings;
    settings.store(u"FA"_s, u"DeptList"_s, u"lvColWidth1"_s, 900);
    settings.store(u"FA"_s, u"DeptList"_s, u"lvColWidth2"_s, 600);
    int shownFirst = 0;

    setShift(shiftWhileOpening);
    openDialog(departments(ThreeDepartments), QString(), [&](QWidget *dialog) {
        setShift(shiftWhileClosing);
        QHeaderView *header = list(dialog)->header();
        shownFirst = header->sectionSize(0);
        header->resizeSection(0, 33);
    });
    setShift(false);

    QCOMPARE(shownFirst == twips(900), !shiftWhileOpening);
    const int storedFirst = settings.stored(u"FA"_s, u"DeptList"_s, u"lvColWidth1"_s).toInt();
    QCOMPARE(storedFirst, shiftWhileClosing ? 900 : toTwips(33));
}

// A dialog whose load failed part way never showed the user's widths; it must not store the
// design widths over them.
void tst_DeptDialog::failedLoadKeepsStoredWidths()
{
    FakeDesktop desktop;
    IniSettingsStore settings;
    settings.store(u"FA"_s, u"DeptList"_s, u"lvColWidth1"_s, 900);
    desktop.unregister(ProgId::FormFontLoader);
    {
        frmDept dialog;
        dialog.setData(departments(ThreeDepartments));
        QVERIFY_THROWS_EXCEPTION(Failure, dialog.showModal());
    }
    QCOMPARE(settings.stored(u"FA"_s, u"DeptList"_s, u"lvColWidth1"_s).toInt(), 900);

    desktop.registerFontLoader();
    int shownFirst = 0;
    openDialog(departments(ThreeDepartments), QString(),
               [&](QWidget *dialog) { shownFirst = list(dialog)->header()->sectionSize(0); });
    QCOMPARE(shownFirst, twips(900));
}

QTEST_MAIN(tst_DeptDialog)
#include "tst_deptdialog.moc"
