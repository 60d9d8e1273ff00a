#include "allocation/Validation.h"

#include "allocation/AllocationRules.h"
#include "allocation/AllocationState.h"
#include "allocation/AllocationTexts.h"
#include "allocation/ManualStep.h"
#include "contracts/CardServices.h"
#include "host/MMTS.h"
#include "host/ObjectRegistry.h"
#include "host/ProgIds.h"
#include "records/RecordFields.h"

#include <QScopeGuard>

using namespace Qt::StringLiterals;

namespace AllocFix {

namespace {

class FaultLines {
public:
    explicit FaultLines(ValidationFaults &faults)
        : m_faults(faults)
    {}

    // "第 " + position + the localised rest: the number stands between two spaces.
    void add(qsizetype card, const QString &rest)
    {
        append(card, MMTS::LoadLangString(u"第 "_s) + QString::number(card) + rest);
    }
    void addDepartment(qsizetype card, const QString &department, const QString &fault)
    {
        add(card,
            MMTS::LoadLangString(u" 张卡片在部门 '"_s) + department + MMTS::LoadLangString(fault));
    }
    // A line of its own, the numbers put into its localised text.
    void append(qsizetype card, const QString &text) { m_faults.append({card, text}); }

private:
    ValidationFaults &m_faults;
};

FieldRecord departmentById(const RecordList &departments, qint32 id)
{
    for (qsizetype d = 1; d <= departments.count(); ++d) {
        if (departments.at(d).value(Fields::FItemID).toInt() == id)
            return departments.at(d);
    }
    return FieldRecord::create();
}

void checkCard(FaultLines &lines, qsizetype card, const RecordList &departments,
               const RecordList &rows)
{
    const AllocationFaults faults = cardFaults(departments, rows, card);
    if (breaks(faults, AllocationRule::DuplicateRow))
        lines.add(card,
                  MMTS::LoadLangString(u" 张卡片在同一部门下出现了重复的折旧费用分配项目！"_s));
    for (const AllocationFault &fault : faults) {
        if (fault.rule == AllocationRule::DepartmentWithoutRows) {
            lines.addDepartment(
                card,
                departmentById(departments, fault.departmentId).value(Fields::FItemName).toText(),
                u"' 下还没有进行折旧费用分配！"_s);
        }
    }
    for (const AllocationFault &fault : faults) {
        if (fault.rule == AllocationRule::RatesNotWhole) {
            lines.addDepartment(card, AllocationTexts::DepartmentName(fault.departmentId),
                                u"' 下折旧费用分配比例之和必须为100%！"_s);
        }
    }
    // Found by the save otherwise, and only there.
    if (breaks(faults, AllocationRule::RowOutsideDepartments)) {
        lines.append(card, MMTS::LoadLangString(
                               u"第 %1 张卡片还有未指定部门的原折旧费用分配，请删除或修改！"_s)
                               .arg(card));
    }
    for (const AllocationFault &fault : faults) {
        if (fault.rule == AllocationRule::NoAccount ||
            fault.rule == AllocationRule::ItemsIncomplete) {
            lines.append(card,
                         MMTS::LoadLangString(u"第 %1 张卡片第 %2 行的科目或核算项目不完整！"_s)
                             .arg(card)
                             .arg(fault.row));
        } else if (fault.rule == AllocationRule::RateOutOfRange) {
            lines.append(
                card, MMTS::LoadLangString(u"第 %1 张卡片第 %2 行的分配比例必须在0.01-100之间！"_s)
                          .arg(card)
                          .arg(fault.row));
        }
    }
}

} // namespace

QString validationText(const ValidationFaults &faults)
{
    QString text;
    for (const ValidationFault &fault : faults)
        text += fault.text + u"\r\n"_s;
    return text;
}

ValidationFaults ValidateAllocations(const ManualStep &step, const ValidationProgress &progress)
{
    ValidationFaults faults;
    // The host's text, written once as the check ends, a service's failure included.
    const auto publish = qScopeGuard([&faults] { ValidationText = validationText(faults); });
    FaultLines lines(faults);
    const qsizetype cardCount = step.vecFalterID().count();

    // Only a card that was never shown lacks its entry.
    if (cardCount != step.AllDict().count()) {
        for (qsizetype position = 1; position <= cardCount; ++position) {
            if (!step.isLoaded(position))
                lines.add(position, MMTS::LoadLangString(u" 张卡片还没有重新进行折旧费用分配!"_s));
        }
    }

    for (qsizetype position = 1; position <= cardCount; ++position) {
        if (progress)
            progress(position - 1, cardCount);
        // Named above; the cards after it were shown and are checked all the same.
        if (!step.isLoaded(position))
            continue;
        qint32 cardId = step.cardId(position);
        RecordList departments;
        {
            const auto cardInfo = createService<ICardInfo>(ProgId::CardInfo);
            departments = cardInfo->GetDept(MMTS::GetPropsString(), cardId);
        }
        checkCard(lines, position, departments, step.rows(position));
    }
    if (progress)
        progress(cardCount, cardCount);
    return faults;
}

} // namespace AllocFix
