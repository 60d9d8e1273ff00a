#include "scale/ComponentCalls.h"

#include "allocation/AllocationState.h"
#include "allocation/ManualStep.h"
#include "allocation/Saving.h"
#include "allocation/Validation.h"
#include "contracts/CardServices.h"
#include "contracts/ItemService.h"
#include "entry/ComponentUnload.h"
#include "entry/ShowUpdate.h"
#include "host/MMTS.h"
#include "host/MessageBox.h"
#include "host/ObjectRegistry.h"
#include "host/ProgIds.h"
#include "records/RecordFields.h"
#include "wizard/frmCopyAllocation.h"
#include "wizard/frmUpdateData.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include <exception>
#include <memory>

using namespace Qt::StringLiterals;
using namespace AllocFix;

namespace Bench::Component {

namespace {

class MessageRecorder final : public MessagePresenter {
public:
    MessageAnswer present(const MessageRequest &request) override
    {
        messages.append(request.text);
        return request.buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
    }
    QStringList messages;
};

MessageRecorder &recorder()
{
    static MessageRecorder instance;
    return instance;
}

// The wizard's manual step as validation and saving take it: the same cards and the same row
// lists, so what they check and save is what the wizard holds.
ManualStep &wizardStep()
{
    static ManualStep step;
    return step;
}

void takeStepOf(const frmUpdateData &wizard)
{
    ManualStep &step = wizardStep();
    step.begin(wizard.vecFalterID());
    const FieldRecord rows = wizard.AllDict();
    for (qsizetype position = 1; position <= step.vecFalterID().count(); ++position) {
        if (const RecordList list = rows.value(ManualStep::key(position)).toList())
            step.loadRows(position, list);
    }
}

void whenWizardShown(const std::function<void(frmUpdateData &)> &action)
{
    QTimer::singleShot(10, qApp, [action] {
        auto *wizard = qobject_cast<frmUpdateData *>(QApplication::activeModalWidget());
        if (!wizard || !wizard->isVisible()) {
            whenWizardShown(action);
            return;
        }
        action(*wizard);
    });
}

} // namespace

void runWizard(const std::function<void(frmUpdateData &wizard)> &steps)
{
    std::exception_ptr failure;
    whenWizardShown([&](frmUpdateData &wizard) {
        // Nothing may leave through the wizard's event loop.
        try {
            steps(wizard);
        } catch (...) {
            failure = std::current_exception();
        }
        wizard.unloadForm();
    });
    ShowUpdate().ShowExportFrm();
    if (failure)
        std::rethrow_exception(failure);
}

void click(frmUpdateData &wizard, const QString &button)
{
    auto *control = wizard.findChild<QPushButton *>(button);
    if (!control)
        throw std::runtime_error("the wizard has no button " + button.toStdString());
    control->click();
    QCoreApplication::processEvents();
}

void openManualPage(frmUpdateData &wizard)
{
    click(wizard, u"btNext"_s);
    click(wizard, u"btUpdate"_s);
}

qsizetype manualCardCount(const frmUpdateData &wizard)
{
    return wizard.vecFalterID().count();
}

int shownExpenseRows(const frmUpdateData &wizard)
{
    return wizard.controls().lvExpense->topLevelItemCount();
}

LoadedRows loadEveryCard(frmUpdateData &wizard, const std::function<void(qsizetype done)> &progress)
{
    const RecordList cards = wizard.vecFalterID();
    FieldRecord allocations = wizard.AllDict();
    FieldRecord loaded = wizard.dirtVect();
    const QString props = MMTS::GetPropsString();
    LoadedRows counts;
    for (qsizetype position = 1; position <= cards.count(); ++position) {
        const QString key = QString::number(position);
        if (loaded.value(key).toText() != u"1") {
            qint32 cardId = cards.at(position).value(Fields::FAlterID).toInt();
            const auto cardInfo = createService<ICardInfo>(ProgId::CardInfo);
            allocations.setValue(key, cardInfo->GetExpense(props, cardId));
            loaded.setValue(key, u"1"_s);
        }
        const RecordList rows = allocations.value(key).toList();
        ++counts.cards;
        counts.rows += rows.count();
        for (qsizetype r = 1; r <= rows.count(); ++r)
            counts.items += rows.at(r).value(Fields::Detail).toList().count();
        if (position % 1000 == 0)
            progress(position);
    }
    return counts;
}

void allocateEveryCard(frmUpdateData &wizard)
{
    // Through the step's own row commands, as the editor's OK and Delete change a card; the
    // step shares the wizard's lists, so the wizard holds the same rows.
    takeStepOf(wizard);
    ManualStep &step = wizardStep();
    const QString props = MMTS::GetPropsString();
    for (qsizetype position = 1; position <= step.vecFalterID().count(); ++position) {
        qint32 cardId = step.cardId(position);
        const RecordList departments =
            createService<ICardInfo>(ProgId::CardInfo)->GetDept(props, cardId);
        const RecordList legacy = step.rows(position).copy();
        for (qsizetype r = legacy.count(); r >= 1; --r)
            step.removeRow(position, r);
        for (qsizetype d = 1; d <= departments.count(); ++d) {
            const FieldRecord department = departments.at(d);
            FieldRecord row = legacy.at((d - 1) % legacy.count() + 1).copy();
            row.setValue(Fields::FDeptID, department.value(Fields::FItemID));
            row.setValue(Fields::FRate, 1.0);
            const RecordList items = row.value(Fields::Detail).toList();
            for (qsizetype i = 1; items && i <= items.count(); ++i) {
                FieldRecord item = items.at(i);
                if (item.value(Fields::FItemClassID).toInt() == DepartmentItemClass) {
                    item.setValue(Fields::FItemID, department.value(Fields::FItemID));
                    item.setValue(Fields::FItemName, department.value(Fields::FItemName));
                }
            }
            step.appendRow(position, row);
        }
    }
}

namespace {

// What the watch for the copy's dialog finds. Shared with the timer, which outlives the call
// when no dialog comes.
struct CopyWatch {
    CopyTargets found;
    bool done = false;
};

// Waits for the copy's dialog, reads what it lists and cancels it; stops looking once done is
// set (no dialog came).
void whenCopyDialogShown(const std::shared_ptr<CopyWatch> &watch)
{
    QTimer::singleShot(1, qApp, [watch] {
        if (watch->done)
            return;
        auto *dialog = qobject_cast<frmCopyAllocation *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) {
            whenCopyDialogShown(watch);
            return;
        }
        watch->found.alike = dialog->findChild<QTreeWidget *>(u"lvCards"_s)->topLevelItemCount();
        watch->found.unreadable = dialog->findChild<QLabel *>(u"lblUnreadable"_s)->isVisible();
        dialog->findChild<QPushButton *>(u"cmdCancel"_s)->click();
    });
}

} // namespace

CopyTargets copyThroughTheWizard(frmUpdateData &wizard)
{
    const auto watch = std::make_shared<CopyWatch>();
    whenCopyDialogShown(watch);
    const qsizetype messagesBefore = recorder().messages.size();
    click(wizard, u"cmdCopy"_s);
    watch->done = true;
    const CopyTargets found = watch->found;
    // That no card is alike is an answer, not a fault of the run; any other message stays.
    if (recorder().messages.size() == messagesBefore + 1 &&
        recorder().messages.last() == u"没有其他卡片的部门和原科目与当前卡片相同。"_s) {
        recorder().messages.removeLast();
    }
    return found;
}

// What the last validate found.
ValidationFaults &lastValidation()
{
    static ValidationFaults faults;
    return faults;
}

bool validate()
{
    lastValidation() = ValidateAllocations(wizardStep());
    return lastValidation().isEmpty();
}

QStringList validationFaults(int lines)
{
    QStringList texts;
    for (const ValidationFault &fault : lastValidation().mid(0, lines))
        texts.append(fault.text);
    return texts;
}

bool save()
{
    return SaveAllocations(wizardStep());
}

CheckCounts checkCards()
{
    const FieldRecord counts =
        createService<ICardInfo>(ProgId::CardInfo)->CheckDataForUpDate(MMTS::GetPropsString());
    return {counts.value(Fields::Total).toInt(), counts.value(Fields::Manual).toInt()};
}

int adjustCards()
{
    return static_cast<int>(createService<ICardUpdate>(ProgId::CardUpdate)
                                ->ReturnExpensInf(MMTS::GetPropsString())
                                .count());
}

void recordMessages()
{
    setMessagePresenter(&recorder());
}

QStringList recordedMessages()
{
    return recorder().messages;
}

void unload()
{
    wizardStep().clear();
    unloadComponent();
}

} // namespace Bench::Component
