#include "editors/ExpenseEditControls.h"

#include "editors/RateBox.h"
#include "forms/ControlAnchors.h"
#include "forms/Twips.h"
#include "widgets/ColumnStretch.h"
#include "widgets/ControlTag.h"
#include "widgets/ItemGrid.h"
#include "widgets/LookupPicture.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace AllocFix {

namespace {

QLabel *label(QWidget *client, const QString &name, const QString &caption, int left, int top,
              int width, int height)
{
    auto *control = placedControl<QLabel>(client, name, left, top, width, height);
    control->setText(caption);
    control->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // The labels start a pixel left of the form's edge; a small indent keeps their first
    // character whole.
    control->setContentsMargins(2, 0, 0, 0);
    return control;
}

QPushButton *button(QWidget *client, const QString &name, const QString &caption, int top)
{
    auto *control = placedControl<QPushButton>(client, name, 3360, top, 1215, 330);
    control->setText(caption);
    return control;
}

// The picture buttons take no part in the tab order and do not take the focus when clicked, so
// the field beside them keeps it.
QToolButton *pictureButton(QWidget *client, const QString &name, int top)
{
    auto *control = placedControl<QToolButton>(client, name, 2940, top, 300, 300);
    control->setIcon(lookupPicture());
    control->setFocusPolicy(Qt::NoFocus);
    control->setAutoRaise(false);
    return control;
}

} // namespace

void ExpenseEditControls::anchor(ControlAnchors &anchors) const
{
    constexpr Anchor Right{1, 0, 0, 0};
    constexpr Anchor Down{0, 1, 0, 0};
    for (QWidget *field : std::initializer_list<QWidget *>{txtDept, txtExpenseAcct})
        anchors.add(field, {0, 0, 1, 0});
    for (QWidget *control :
         std::initializer_list<QWidget *>{btDept, btExpenseAcct, btSave, btClose, btAdd})
        anchors.add(control, Right);
    anchors.add(kgItem, {0, 0, 1, 1});
    for (QWidget *control : std::initializer_list<QWidget *>{Label1, fltRate, Label2})
        anchors.add(control, Down);
}

ExpenseEditControls ExpenseEditControls::create(QWidget *client)
{
    ExpenseEditControls c;
    c.lblDept = label(client, u"lblDept"_s, u"部门： "_s, -15, 120, 795, 345);
    c.txtDept = placedControl<QLineEdit>(client, u"txtDept"_s, 780, 120, 2175, 300);
    c.txtDept->setReadOnly(true);
    setControlTag(c.txtDept, u"N"_s);
    c.btDept = pictureButton(client, u"btDept"_s, 120);

    c.lblExpenseAcct = label(client, u"lblExpenseAcct"_s, u"科目："_s, -15, 480, 795, 345);
    c.txtExpenseAcct = placedControl<QLineEdit>(client, u"txtExpenseAcct"_s, 780, 480, 2175, 300);
    c.btExpenseAcct = pictureButton(client, u"btExpenseAcct"_s, 480);

    c.kgItem = placedControl<ItemGrid>(client, u"kgItem"_s, 140, 1000, 3135, 975);
    c.kgItem->horizontalHeader()->resizeSection(0, twips(1350));
    stretchColumns(c.kgItem->horizontalHeader(), {1, 2});

    c.Label1 = label(client, u"Label1"_s, u"分配比例："_s, 75, 2070, 1515, 345);
    c.fltRate = placedControl<RateBox>(client, u"fltRate"_s, 1665, 2040, 1335, 300);
    c.fltRate->setButtonSymbols(QAbstractSpinBox::NoButtons);
    c.fltRate->setAlignment(Qt::AlignRight);
    c.Label2 = label(client, u"Label2"_s, u"%"_s, 3105, 2040, 255, 255);

    c.btSave = button(client, u"btSave"_s, u"保存(&S)"_s, 120);
    c.btClose = button(client, u"btClose"_s, u"关闭(&C)"_s, 600);
    c.btAdd = button(client, u"btAdd"_s, u"新增(&A)"_s, 1680);
    c.btAdd->setVisible(false);

    // The label before a field names it for assistive technology.
    c.lblDept->setBuddy(c.txtDept);
    c.lblExpenseAcct->setBuddy(c.txtExpenseAcct);
    c.Label1->setBuddy(c.fltRate);

    QWidget::setTabOrder(c.txtDept, c.txtExpenseAcct);
    QWidget::setTabOrder(c.txtExpenseAcct, c.fltRate);
    QWidget::setTabOrder(c.fltRate, c.btSave);
    QWidget::setTabOrder(c.btSave, c.btClose);
    QWidget::setTabOrder(c.btClose, c.kgItem);
    QWidget::setTabOrder(c.kgItem, c.btAdd);
    return c;
}

} // namespace AllocFix
