// The expense editor's department, account and item entry.

#include "allocation/AllocationState.h"
#include "contracts/ErrorReporter.h"
#include "editors/RateBox.h"
#include "editors/frmDept.h"
#include "editors/frmExpenseEdit.h"
#include "host/ByName.h"
#include "host/ErrorRecord.h"
#include "host/MMTS.h"
#include "host/MessageBox.h"
#include "host/SpaceTrim.h"
#include "host/sysObjecs.h"
#include "widgets/ControlTag.h"
#include "widgets/ItemGrid.h"
#include "widgets/ItemGridRows.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>

using namespace Qt::StringLiterals;

namespace AllocFix {

namespace {

// Focus that moves because another window became active (a message box, a lookup dialog) is no
// visit of the field: the host's forms see no focus change then.
bool isFieldVisit(Qt::FocusReason reason)
{
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
           reason != Qt::MenuBarFocusReason;
}

qint32 tagNumber(const QWidget *control)
{
    return FieldValue(numberOrZero(controlTag(control))).toInt();
}

void reportFailure(const QString &source)
{
    recordCaughtException(source);
    reportCurrentError();
}

} // namespace

CodeField frmExpenseEdit::accountField() const
{
    return {m_ui->txtExpenseAcct, m_ui->lblExpenseAcct};
}

void frmExpenseEdit::pickDepartment()
{
    try {
        std::optional<frmDept::Pick> picked;
        {
            frmDept dialog(this);
            dialog.setAssetName(m_assetName);
            dialog.setData(m_depData);
            dialog.showModal();
            picked = dialog.picked();
        }
        // Without a pick, the department picked last, as the host keeps it.
        const frmDept::Pick shown = picked.value_or(frmDept::Pick{CurrentDeptID, CurrentDeptName});
        m_ui->txtDept->setText(shown.name);
        setControlTag(m_ui->lblDept, QString::number(shown.id));
        m_ui->txtDept->setFocus();
    } catch (...) {
        reportFailure(objectName());
    }
}

void frmExpenseEdit::accountFocusIn(Qt::FocusReason reason)
{
    if (!isFieldVisit(reason) || m_keepingAccountFocus)
        return;
    try {
        CodeFieldGotFocus(accountField());
    } catch (...) {
        reportFailure(objectName());
    }
}

void frmExpenseEdit::accountFocusOut(Qt::FocusReason reason)
{
    if (!isFieldVisit(reason) || m_keepingAccountFocus || !isVisible())
        return;
    bool keepFocus = false;
    try {
        keepFocus = validateAccount();
    } catch (...) {
        // The code could not be checked: it stays for the user to fix or retry.
        keepFocus = true;
        reportFailure(objectName());
    }
    if (!m_ui)
        return;
    if (keepFocus) {
        // The focus has already moved on and the field is still finishing its own focus-out;
        // the focus goes back once that is done, with the text selected as the check left it. A
        // click that moved the focus is being delivered right after this and must do nothing.
        m_swallowClick = reason == Qt::MouseFocusReason;
        m_keepingAccountFocus = true;
        m_keptSelection = {m_ui->txtExpenseAcct->selectionStart(),
                           static_cast<int>(m_ui->txtExpenseAcct->selectedText().size())};
        m_returnToAccount.start();
        return;
    }
    try {
        CodeFieldLostFocus(accountField());
    } catch (...) {
        reportFailure(objectName());
    }
}

void frmExpenseEdit::returnToAccount()
{
    m_swallowClick = false;
    if (m_ui) {
        m_ui->txtExpenseAcct->setFocus(Qt::OtherFocusReason);
        if (m_keptSelection.first >= 0)
            m_ui->txtExpenseAcct->setSelection(m_keptSelection.first, m_keptSelection.second);
    }
    m_keepingAccountFocus = false;
}

bool frmExpenseEdit::validateAccount()
{
    QLineEdit *box = m_ui->txtExpenseAcct;
    QString idProperty = u"AccountID"_s;
    if (ResolveCodeField(accountField(), sysObjecs::GetGLData(), u"GetAccount"_s, idProperty,
                         {trimSpaces(box->text())})) {
        return true;
    }
    if (!box->isReadOnly()) {
        const qint32 accountId = tagNumber(box);
        if (accountId != m_lastAccountID)
            RefillItemGrid(accountId, ReadItemGrid(m_ui->kgItem));
        m_lastAccountID = accountId;
    }
    return false;
}

void frmExpenseEdit::lookupAccount()
{
    try {
        QLineEdit *box = m_ui->txtExpenseAcct;
        const QVariant key = QApplication::focusWidget() == box ? QVariant(trimSpaces(box->text()))
                                                                : QVariant(tagNumber(box));
        LookupCodeField(accountField(), sysObjecs::GetGLView(), u"AccountLookup"_s, {key});
        RefillItemGrid(tagNumber(box), ReadItemGrid(m_ui->kgItem));
    } catch (...) {
        reportFailure(objectName());
    }
}

// The grid's notification hands the row by reference; the editor leaves it as it is.
// cppcheck-suppress constParameter
void frmExpenseEdit::chooseItem(qint32 action, qint32 &row, qint32 column, qint32)
{
    try {
        ItemGrid *grid = m_ui->kgItem;
        if (action == ItemGrid::ChooseItemAction && column == ItemGrid::ItemColumn) {
            QVariantList args{
                FieldValue::fromVariant(grid->cellData(row, ItemGrid::ClassColumn)).toInt(),
                FieldValue::fromVariant(grid->cellData(row, ItemGrid::ItemColumn)).toInt()};
            const std::unique_ptr<QObject> answer =
                ByName::callForObject(sysObjecs::GetGLView(), u"ItemLookup"_s, args);
            if (answer && ByName::property(answer.get(), u"ReturnOK"_s).toBool()) {
                const QObject *item = ByName::objectProperty(answer.get(), u"ReturnObject"_s);
                if (!ByName::property(item, u"detail"_s).toBool()) {
                    showInputFault(MMTS::LoadLangString(u"必须输入明细级资料！"_s), this);
                    return;
                }
                const FieldValue itemId =
                    FieldValue::fromVariant(ByName::property(answer.get(), u"ReturnValue"_s));
                grid->setCellData(row, ItemGrid::ItemColumn, itemId.toVariant());
                grid->setCellText(
                    row, ItemGrid::ItemColumn,
                    FieldValue::fromVariant(ByName::property(item, u"name"_s)).toText());
            }
        }
        m_ui->fltRate->setFocus();
    } catch (...) {
        reportFailure(objectName());
    }
}

bool frmExpenseEdit::eventFilter(QObject *watched, QEvent *event)
{
    // With key preview on, the form filters every event of the application; the account field's
    // focus changes and a click to be swallowed arrive here as well.
    if (m_ui && watched == m_ui->txtExpenseAcct) {
        if (event->type() == QEvent::FocusIn)
            accountFocusIn(static_cast<QFocusEvent *>(event)->reason());
        else if (event->type() == QEvent::FocusOut)
            accountFocusOut(static_cast<QFocusEvent *>(event)->reason());
    }
    if (m_swallowClick && event->type() == QEvent::MouseButtonPress) {
        m_swallowClick = false;
        return true;
    }
    return ModalForm::eventFilter(watched, event);
}

} // namespace AllocFix
