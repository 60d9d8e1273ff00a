#include "editors/frmExpenseEdit.h"

#include "allocation/AllocationRules.h"
#include "allocation/AllocationState.h"
#include "allocation/AllocationTexts.h"
#include "allocation/ItemsDiffer.h"
#include "editors/ItemGridComplete.h"
#include "editors/RateBox.h"
#include "forms/Captions.h"
#include "forms/KeyCodes.h"
#include "forms/Twips.h"
#include "host/ErrorRecord.h"
#include "host/MMTS.h"
#include "host/MessageBox.h"
#include "records/RecordFields.h"
#include "widgets/ControlTag.h"
#include "widgets/ItemGrid.h"
#include "widgets/ItemGridRows.h"

#include <QApplication>
#include <QDoubleSpinBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QToolButton>

#include <optional>
#include <utility>

using namespace Qt::StringLiterals;

namespace AllocFix {

namespace {

const QString FormTitle = u"折旧费用分配情况"_s;

// Steps of setting captions, clearing, showing a row or locking: one that fails is skipped and
// the others still run, so the form opens with what they produced; the first failure is then
// told, because a row half shown or a form half locked must not pass for the whole.
class SkippedSteps {
public:
    explicit SkippedSteps(QWidget *form)
        : m_form(form)
    {}

    template<class Step>
    void run(Step &&step)
    {
        try {
            step();
        } catch (...) {
            const ErrorRecord error = recordCaughtException(m_form->objectName());
            if (!m_failure)
                m_failure = error.description;
        }
    }

    void report()
    {
        if (m_failure)
            showCommandFailure(*std::exchange(m_failure, std::nullopt), m_form);
    }

private:
    QWidget *m_form;
    std::optional<QString> m_failure;
};

// A step the form can go on without, but whose failure the user must hear of: an item service
// that fails would otherwise leave an empty grid and, later, a misleading "items missing".
template<class Step>
void reportOnFailure(QWidget *form, Step &&step)
{
    try {
        step();
    } catch (...) {
        showCommandFailure(recordCaughtException(form->objectName()).description, form);
    }
}

QString modeWord(qint32 mode)
{
    switch (mode) {
    case frmExpenseEdit::ModeAdd:
        return MMTS::LoadLangString(u"新增"_s);
    case frmExpenseEdit::ModeView:
        return MMTS::LoadLangString(u"查看"_s);
    case frmExpenseEdit::ModeEdit:
        return MMTS::LoadLangString(u"编辑"_s);
    default:
        return {};
    }
}

// The rate too: the rate box gives back an untouched rate exactly as it was stored.
bool sameNumber(const FieldValue &a, const FieldValue &b)
{
    return a.toDouble() == b.toDouble();
}

} // namespace

frmExpenseEdit::frmExpenseEdit(QWidget *owner)
    : ModalForm(owner)
{
    setObjectName(u"frmExpenseEdit"_s);
    // Esc presses btClose (formKeyDown); the dialog must not close a second way.
    setEscapeCloses(false);
    m_returnToAccount.setSingleShot(true);
    m_returnToAccount.setInterval(0);
    connect(&m_returnToAccount, &QTimer::timeout, this, &frmExpenseEdit::returnToAccount);
}

frmExpenseEdit::~frmExpenseEdit() = default;

void frmExpenseEdit::setData(const FieldRecord &row)
{
    m_baseRow = row;
    m_workingRow = row.copy();
}

void frmExpenseEdit::createControls(QWidget *client)
{
    setWindowTitle(FormTitle);
    const QSize design(twips(4680), twips(2445));
    resize(design);
    client->resize(design);
    setFont(QFont(u"宋体"_s, 9));
    m_ui = std::make_unique<ExpenseEditControls>(ExpenseEditControls::create(client));
    const ExpenseEditControls &c = *m_ui;
    c.anchor(anchors());
    setGrowable(design, u"ExpenseEdit"_s);
    connect(c.btSave, &QPushButton::clicked, this, &frmExpenseEdit::save);
    connect(c.btClose, &QPushButton::clicked, this, &frmExpenseEdit::unloadForm);
    connect(c.btDept, &QToolButton::clicked, this, &frmExpenseEdit::pickDepartment);
    connect(c.btExpenseAcct, &QToolButton::clicked, this, &frmExpenseEdit::lookupAccount);
    connect(c.kgItem, &ItemGrid::CellNotify, this, &frmExpenseEdit::chooseItem);
}

void frmExpenseEdit::controlsDiscarded()
{
    m_ui.reset();
}

void frmExpenseEdit::formLoad()
{
    setKeyPreview(true);
    MMTS::ApplyFormFont(this);
    SetCaptions();
    if (m_editMode == ModeAdd) {
        setData(FieldRecord::create());
        ClearControls();
    } else {
        ShowRow();
        if (m_editMode == ModeView)
            LockControls(true);
    }
    ShowModeCaption();
    m_ui->txtDept->setFocus();
}

void frmExpenseEdit::changeEvent(QEvent *event)
{
    ModalForm::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || !m_ui)
        return;
    if (!isActiveWindow()) {
        // The modal stack is pushed before the new window is activated.
        const QWidget *modal = QApplication::activeModalWidget();
        m_coveredByOwnWindow = modal && modal != this;
        return;
    }
    if (std::exchange(m_coveredByOwnWindow, false))
        return;
    // Once the window has its focus back, and moved as the user would move it: leaving the
    // account field checks its code and shows the name, as ever. Focus that something else
    // placed meanwhile stays where it was placed.
    const QPointer<QWidget> restored = focusWidget();
    QMetaObject::invokeMethod(
        this,
        [this, restored] {
            if (m_ui && isActiveWindow() && !m_keepingAccountFocus &&
                QApplication::focusWidget() == restored)
                m_ui->txtDept->setFocus(Qt::OtherFocusReason);
        },
        Qt::QueuedConnection);
}

void frmExpenseEdit::SetCaptions()
{
    const ExpenseEditControls &c = *m_ui;
    for (QWidget *control : std::initializer_list<QWidget *>{
             c.btAdd, c.btClose, c.btSave, c.Label2, c.Label1, c.lblExpenseAcct, c.lblDept}) {
        localiseCaption(control);
    }
    SkippedSteps steps(this);
    steps.run([&] { c.kgItem->localiseCaptions(); });
    // A picture button is named by its tooltip.
    for (const auto &tip :
         {std::pair{c.btDept, u"选择部门"_s}, std::pair{c.btExpenseAcct, u"选择科目 (F7)"_s}}) {
        steps.run([&] {
            const QString text = MMTS::LoadLangString(tip.second);
            tip.first->setToolTip(text);
            tip.first->setAccessibleName(text);
        });
    }
    steps.report();
}

void frmExpenseEdit::ShowModeCaption()
{
    setWindowTitle(MMTS::LoadLangString(FormTitle) + u" - "_s + modeWord(m_editMode));
}

void frmExpenseEdit::ClearControls()
{
    QWidget *client = m_ui->txtDept->parentWidget();
    SkippedSteps steps(this);
    for (QLineEdit *box : client->findChildren<QLineEdit *>(Qt::FindDirectChildrenOnly)) {
        steps.run([&] {
            if (controlTag(box).contains(u'N'))
                return;
            box->clear();
            setControlTag(box, QString());
        });
    }
    for (QDoubleSpinBox *number :
         client->findChildren<QDoubleSpinBox *>(Qt::FindDirectChildrenOnly)) {
        number->setValue(0);
    }
    steps.report();
}

void frmExpenseEdit::ShowRow()
{
    const ExpenseEditControls &c = *m_ui;
    const FieldRecord row = m_workingRow;
    SkippedSteps steps(this);
    steps.run([&] {
        ShowCodeField(accountField(), row.value(Fields::FAcctID, qint32(0)).toInt(),
                      row.value(Fields::FAcctNumber, QString()).toText(),
                      row.value(Fields::FAcctName, QString()).toText());
    });
    reportOnFailure(this, [&] {
        RefillItemGrid(FieldValue(numberOrZero(controlTag(c.txtExpenseAcct))).toInt(),
                       row.value(Fields::Detail, RecordList()).toList());
    });
    steps.run([&] { c.fltRate->setRate(row.value(Fields::FRate, qint32(0)).toDouble()); });
    steps.run([&] {
        const FieldValue department = row.value(Fields::FDeptID);
        CurrentDeptName = AllocationTexts::DepartmentName(department.toInt());
        CurrentDeptID = department.toInt();
    });
    steps.run([&] {
        const FieldValue department = row.value(Fields::FDeptID);
        c.txtDept->setText(AllocationTexts::DepartmentName(department.toInt()));
        setControlTag(c.lblDept, department.toText());
    });
    steps.report();
}

void frmExpenseEdit::LockControls(bool lock)
{
    const ExpenseEditControls &c = *m_ui;
    QWidget *client = c.txtDept->parentWidget();
    SkippedSteps steps(this);
    for (QWidget *control : client->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        steps.run([&] {
            if (qobject_cast<QLabel *>(control) || qobject_cast<QPushButton *>(control) ||
                controlTag(control).contains(u'X')) {
                return;
            }
            if (auto *picture = qobject_cast<QToolButton *>(control))
                picture->setEnabled(!lock);
            else if (auto *box = qobject_cast<QLineEdit *>(control))
                box->setReadOnly(lock);
            else if (auto *grid = qobject_cast<ItemGrid *>(control))
                grid->setLocked(lock);
            else if (auto *number = qobject_cast<QDoubleSpinBox *>(control))
                number->setReadOnly(lock);
        });
    }
    c.btAdd->setEnabled(!lock);
    c.btSave->setEnabled(!lock);
    steps.report();
}

void frmExpenseEdit::CollectRow()
{
    const ExpenseEditControls &c = *m_ui;
    const CodeFieldValue account = ReadCodeField(accountField());
    m_workingRow.setValue(Fields::FAcctID, account.id);
    m_workingRow.setValue(Fields::FAcctNumber, account.number);
    m_workingRow.setValue(Fields::FAlterID, m_currentFAlterID);
    m_workingRow.setValue(Fields::FAcctName, account.name);
    m_workingRow.setValue(Fields::Detail, ReadItemGrid(c.kgItem));
    m_workingRow.setValue(Fields::FRate, c.fltRate->rate());
    m_workingRow.setValue(Fields::FDeptID, CurrentDeptID);
}

bool frmExpenseEdit::CheckInput()
{
    const ExpenseEditControls &c = *m_ui;
    // The save keys leave the focus where it is: a code typed into the account field is checked
    // as leaving the field would check it, so the row never pairs it with the account before.
    if (QApplication::focusWidget() == c.txtExpenseAcct && validateAccount())
        return false;
    CollectRow();
    const auto refuse = [this](const QString &message, QWidget *control) {
        showInputFault(MMTS::LoadLangString(message), this);
        control->setFocus();
        return false;
    };
    if (c.txtDept->text().isEmpty())
        return refuse(u"请选择部门！"_s, c.txtDept);
    // The row's own rules, as the finish check and the save apply them.
    const AllocationFaults faults = rowFaults(m_workingRow);
    if (breaks(faults, AllocationRule::NoAccount))
        return refuse(u"请输入或者选择科目！"_s, c.txtExpenseAcct);
    if (!ItemGridComplete(c.kgItem))
        return refuse(u"缺少核算项目数据！"_s, c.kgItem);
    if (breaks(faults, AllocationRule::RateOutOfRange))
        return refuse(u"输入的比例范围必须在0.01-100之间！"_s, c.fltRate);
    return true;
}

bool frmExpenseEdit::RowChanged() const
{
    if (m_editMode == ModeView)
        return false;
    const FieldRecord &now = m_workingRow;
    const FieldRecord &base = m_baseRow;
    const bool same =
        sameNumber(now.value(Fields::FAcctID), base.value(Fields::FAcctID, qint32(0))) &&
        !ItemsDiffer(now.value(Fields::Detail).toList(),
                     base.value(Fields::Detail, RecordList()).toList()) &&
        sameNumber(now.value(Fields::FRate), base.value(Fields::FRate, qint32(0))) &&
        sameNumber(now.value(Fields::FDeptID), base.value(Fields::FDeptID, qint32(0)));
    return !same;
}

void frmExpenseEdit::RefillItemGrid(qint32 accountId, const RecordList &items)
{
    m_ui->kgItem->setEnabled(true);
    FillItemGrid(m_ui->kgItem, accountId, items);
}

void frmExpenseEdit::raiseSaved()
{
    if (m_editMode == ModeAdd)
        Q_EMIT DataAdded(m_workingRow);
    else
        Q_EMIT DataModified(m_workingRow);
}

void frmExpenseEdit::save()
{
    try {
        if (m_editMode == ModeView || !CheckInput() || !RowChanged())
            return;
        raiseSaved();
        m_editMode = ModeEdit;
        setData(m_workingRow);
        // What was saved is the rate the box now holds, untouched until the next edit.
        m_ui->fltRate->setRate(m_workingRow.value(Fields::FRate).toDouble());
        ShowModeCaption();
    } catch (...) {
        showCommandFailure(recordCaughtException(objectName()).description, this);
    }
}

bool frmExpenseEdit::mayClose()
{
    if (m_editMode == ModeView)
        return true;
    reportOnFailure(this, [this] { CollectRow(); });
    // A row that cannot be compared may hold changes: the user, told why, decides.
    bool changed = true;
    reportOnFailure(this, [&] { changed = RowChanged(); });
    if (!changed)
        return true;
    const MessageAnswer answer =
        showMessage({MMTS::LoadLangString(u"数据已变化，是否保存？"_s), MessageButtons::YesNoCancel,
                     MessageIcon::Question, MMTS::LoadLangString(u"岚岫提示"_s), this});
    switch (answer) {
    case MessageAnswer::Yes:
        if (!CheckInput())
            return false;
        raiseSaved();
        return true;
    case MessageAnswer::No:
        return true;
    default:
        return false;
    }
}

void frmExpenseEdit::done(int result)
{
    if (m_ui) {
        try {
            if (!mayClose())
                return;
        } catch (...) {
            showCommandFailure(recordCaughtException(objectName()).description, this);
            return;
        }
    }
    ModalForm::done(result);
}

void frmExpenseEdit::formKeyDown(qint32 keyCode, const QKeyEvent &)
{
    MMTS::HandleHelpKey(keyCode, MMTS::HelpContextAdjustment, QString(), 0, QString(), 0);
    if (keyCode == KeyCode::Escape)
        m_ui->btClose->click();
    else if (keyCode == KeyCode::F7 && QApplication::focusWidget() == m_ui->txtExpenseAcct)
        lookupAccount();
}

} // namespace AllocFix
