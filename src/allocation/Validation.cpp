#include "allocation/Validation.h"

#include "allocation/AllocationState.h"
#include "allocation/CardView.h"
#include "allocation/ManualStep.h"
#include "contracts/CardServices.h"
#include "host/MMTS.h"
#include "host/ObjectRegistry.h"
#include "host/ProgIds.h"
#include "records/RecordFields.h"

using namespace Qt::StringLiterals;

namespace AllocFix {

namespace {

// "第 " + position + the localised rest: the number stands between two spaces.
void addFault(qsizetype position, const QString &text)
{
    ValidationText += MMTS::LoadLangString(u"第 "_s) + QString::number(position) + text + u"\r\n"_s;
}

QString departmentFault(const QString &department, const QString &fault)
{
    return MMTS::LoadLangString(u" 张卡片在部门 '"_s) + department + MMTS::LoadLangString(fault);
}

bool sameDepartment(const FieldRecord &row, const FieldRecord &department)
{
    return row.value(Fields::FDeptID).toDouble() == department.value(Fields::FItemID).toDouble();
}

// Two rows are the same allocation when department, account and item text agree; item IDs are
// not compared.
bool hasDuplicateRows(const RecordList &rows)
{
    FieldRecord keys = FieldRecord::create();
    for (qsizetype position = 1; position <= rows.count(); ++position) {
        const FieldRecord row = rows.at(position);
        keys.setValue(row.value(Fields::FDeptID).toText() + u'|' +
                          row.value(Fields::FAcctID).toText() + u'|' +
                          CardView::ItemListText(row.value(Fields::Detail).toList()),
                      1);
    }
    return keys.count() != rows.count();
}

bool hasRows(const RecordList &rows, const FieldRecord &department)
{
    for (qsizetype position = 1; position <= rows.count(); ++position) {
        if (sameDepartment(rows.at(position), department))
            return true;
    }
    return false;
}

// The department's rates must read 1 at four decimals ("#.0000"): 0.3333 + 0.3333 + 0.3334
// passes, 0.5 + 0.4999 does not. The sum's exact binary value is rounded to four decimals; no
// double lies exactly halfway at 0.99995 or 1.00005, so how ties round cannot decide the outcome.
bool ratesMakeWhole(const RecordList &rows, const FieldRecord &department)
{
    double sum = 0;
    for (qsizetype position = 1; position <= rows.count(); ++position) {
        const FieldRecord row = rows.at(position);
        if (sameDepartment(row, department))
            sum += row.value(Fields::FRate).toDouble();
    }
    return QString::number(sum, 'f', RateSumDecimals).toDouble() == 1.0;
}

bool validateCards(const ManualStep &step)
{
    const qsizetype cardCount = step.vecFalterID().count();
    const qsizetype rowsCount = step.AllDict().count();
    bool valid = true;

    // Only a card that was never shown lacks its entry.
    if (cardCount != rowsCount) {
        for (qsizetype position = 1; position <= cardCount; ++position) {
            if (!step.isLoaded(position)) {
                valid = false;
                addFault(position, MMTS::LoadLangString(u" 张卡片还没有重新进行折旧费用分配!"_s));
            }
        }
    }

    for (qsizetype position = 1; position <= rowsCount; ++position) {
        const RecordList rows = step.rows(position);
        if (hasDuplicateRows(rows)) {
            valid = false;
            addFault(position,
                     MMTS::LoadLangString(u" 张卡片在同一部门下出现了重复的折旧费用分配项目！"_s));
        }

        qint32 cardId = step.cardId(position);
        RecordList departments;
        {
            const auto cardInfo = createService<ICardInfo>(ProgId::CardInfo);
            departments = cardInfo->GetDept(MMTS::GetPropsString(), cardId);
        }
        for (qsizetype d = 1; d <= departments.count(); ++d) {
            const FieldRecord department = departments.at(d);
            if (!hasRows(rows, department)) {
                valid = false;
                addFault(position, departmentFault(department.value(Fields::FItemName).toText(),
                                                   u"' 下还没有进行折旧费用分配！"_s));
            }
        }
        for (qsizetype d = 1; d <= departments.count(); ++d) {
            const FieldRecord department = departments.at(d);
            if (!ratesMakeWhole(rows, department)) {
                valid = false;
                addFault(position, departmentFault(CardView::DepartmentName(
                                                       department.value(Fields::FItemID).toInt()),
                                                   u"' 下折旧费用分配比例之和必须为100%！"_s));
            }
        }
    }
    return valid;
}

} // namespace

bool ValidateAllocations(const ManualStep &step)
{
    ValidationText.clear();
    try {
        return validateCards(step);
    } catch (...) {
        // The lines found so far stay; the error itself adds none.
        return false;
    }
}

} // namespace AllocFix
