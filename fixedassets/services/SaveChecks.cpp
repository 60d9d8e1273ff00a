#include "services/SaveChecks.h"

#include "accountset/AccountSet.h"
#include "accountset/AccountSetErrors.h"
#include "allocation/AllocationRules.h"
#include "host/MMTS.h"
#include "records/FieldRecord.h"
#include "records/RecordFields.h"
#include "services/CardReads.h"

#include <algorithm>

using namespace Qt::StringLiterals;
using AllocFix::FieldRecord;
using AllocFix::RecordList;
using AllocFix::MMTS::LoadLangString;
namespace Fields = AllocFix::Fields;

namespace FixedAssets {

namespace {

struct Fault {
    QString text;
};

} // namespace

SaveChecks::SaveChecks(const AccountSet &set)
    : m_set(set)
{
    QSqlQuery accounts = set.exec(u"SELECT account_id, number, detail FROM accounts"_s);
    while (accounts.next()) {
        m_accounts.insert(accounts.value(0).toInt(),
                          {accounts.value(1).toString(), accounts.value(2).toInt() != 0, {}});
    }
    QSqlQuery classes = set.exec(
        u"SELECT account_id, class_id FROM account_item_classes ORDER BY account_id, seq"_s);
    while (classes.next()) {
        const auto account = m_accounts.find(classes.value(0).toInt());
        if (account != m_accounts.end())
            account->classes.append(classes.value(1).toInt());
    }
    QSqlQuery items = set.exec(u"SELECT item_id, class_id, detail, name FROM items"_s);
    while (items.next()) {
        m_items.insert(items.value(0).toInt(), {items.value(1).toInt(), items.value(2).toInt() != 0,
                                                items.value(3).toString()});
    }
    // Their names are the items' own, wanted only for a fault.
    QSqlQuery departments = set.exec(u"SELECT d.alter_id, d.dept_id FROM card_departments d"
                                     " JOIN manual_queue q ON q.alter_id = d.alter_id"
                                     " ORDER BY d.alter_id, d.seq"_s);
    while (departments.next())
        m_departments.append({departments.value(0).toInt(), departments.value(1).toInt()});
    m_departments.squeeze(); // kept for the whole save
}

QString SaveChecks::departmentName(qint32 departmentId) const
{
    const auto found = m_items.constFind(departmentId);
    return found == m_items.cend() ? QString::number(departmentId) : found->name;
}

const SaveChecks::Account &SaveChecks::account(qsizetype row, qint32 accountId) const
{
    const auto found = m_accounts.constFind(accountId);
    if (found == m_accounts.cend())
        throw Fault{LoadLangString(u"第 %1 行：科目 %2 不存在"_s).arg(row).arg(accountId)};
    if (!found->detail) {
        throw Fault{
            LoadLangString(u"第 %1 行：科目 %2 不是明细科目"_s).arg(row).arg(found->number)};
    }
    return *found;
}

void SaveChecks::checkItems(qsizetype row, const Account &account, const RecordList &items) const
{
    const qsizetype count = items ? items.count() : 0;
    if (count != account.classes.size()) {
        throw Fault{
            LoadLangString(
                u"第 %1 行：科目 %2 的每个核算类别都需要一个核算项目（共 %3 个）；该行有 %4 个"_s)
                .arg(QString::number(row), account.number, QString::number(account.classes.size()),
                     QString::number(count))};
    }
    for (qsizetype i = 1; i <= count; ++i) {
        const FieldRecord given = items.at(i);
        const qint32 wantedClass = account.classes.at(i - 1);
        const qint32 classId = given.value(Fields::FItemClassID).toInt();
        const qint32 itemId = given.value(Fields::FItemID).toInt();
        // Made only for a fault: most rows have none.
        const auto where = [row, i] {
            return LoadLangString(u"第 %1 行，第 %2 个核算项目： "_s).arg(row).arg(i);
        };
        if (classId != wantedClass) {
            throw Fault{where() + LoadLangString(u"科目 %1 在此位置的核算类别是 %2，不是 %3"_s)
                                      .arg(account.number, QString::number(wantedClass),
                                           QString::number(classId))};
        }
        const auto stored = m_items.constFind(itemId);
        if (stored == m_items.cend() || stored->classId != classId) {
            throw Fault{
                where() +
                LoadLangString(u"核算项目 %1 不属于核算类别 %2"_s).arg(itemId).arg(classId)};
        }
        if (!stored->detail) {
            throw Fault{where() + LoadLangString(u"核算项目 %1 不是明细项目"_s).arg(stored->name)};
        }
    }
}

RecordList SaveChecks::departments(qint32 cardId) const
{
    const auto [first, last] = std::equal_range(
        m_departments.cbegin(), m_departments.cend(), CardDepartment{cardId, 0},
        [](const CardDepartment &a, const CardDepartment &b) { return a.cardId < b.cardId; });
    // A card outside the queue (a dry run before the adjustment) is read on its own.
    if (first == last)
        return CardReads::departments(m_set, cardId);
    RecordList departments = RecordList::create();
    for (auto queued = first; queued != last; ++queued) {
        FieldRecord department = FieldRecord::create();
        department.setValue(Fields::FItemID, queued->departmentId);
        departments.append(department);
    }
    return departments;
}

QString SaveChecks::faultText(const AllocFix::AllocationFault &fault) const
{
    using AllocFix::AllocationRule;
    switch (fault.rule) {
    case AllocationRule::RowOutsideDepartments:
        return fault.departmentId == 0
                   ? LoadLangString(u"第 %1 行没有部门（原有的行）"_s).arg(fault.row)
                   : LoadLangString(u"第 %1 行：部门 %2 不使用这张卡片"_s)
                         .arg(fault.row)
                         .arg(fault.departmentId);
    case AllocationRule::NoAccount:
        return LoadLangString(u"第 %1 行没有科目"_s).arg(fault.row);
    case AllocationRule::ItemsIncomplete:
        return LoadLangString(u"第 %1 行：科目的一个核算类别没有核算项目"_s).arg(fault.row);
    case AllocationRule::RateOutOfRange:
        return LoadLangString(u"第 %1 行：比例必须大于 0 且不大于 1"_s).arg(fault.row);
    case AllocationRule::DuplicateRow:
        return LoadLangString(u"第 %1 行与第 %2 行重复：部门、科目和核算项目都相同"_s)
            .arg(fault.row)
            .arg(fault.earlierRow);
    case AllocationRule::DepartmentWithoutRows:
        return LoadLangString(u"部门 %1 没有费用分配行"_s).arg(departmentName(fault.departmentId));
    case AllocationRule::RatesNotWhole:
        return LoadLangString(u"部门 %1 的比例合计为 %2，不是 100%"_s)
            .arg(departmentName(fault.departmentId),
                 AllocFix::Rate::unitsText(fault.allocated) + u'%');
    }
    return {};
}

void SaveChecks::checkRows(qint32 cardId, const RecordList &rows) const
{
    // What only the account set can tell: the row belongs to this card, and its account and
    // items exist at detail level in the account's order.
    const auto checkRow = [&](qsizetype row, const FieldRecord &fields) {
        const AllocFix::FieldValue rowCard = fields.value(Fields::FAlterID);
        if (rowCard.isEmpty())
            throw Fault{LoadLangString(u"第 %1 行没有 FAlterID"_s).arg(row)};
        if (rowCard.toInt() != cardId) {
            throw Fault{LoadLangString(u"第 %1 行属于 FAlterID 为 %2 的卡片；请重新检查卡片"_s)
                            .arg(row)
                            .arg(rowCard.toInt())};
        }
        // Read here so that a field of the wrong kind is told with its row.
        fields.value(Fields::FDeptID).toInt();
        fields.value(Fields::FRate).toDouble();
        checkItems(row, account(row, fields.value(Fields::FAcctID).toInt()),
                   fields.value(Fields::Detail).toList());
    };
    for (qsizetype row = 1; row <= rows.count(); ++row) {
        try {
            checkRow(row, rows.at(row));
        } catch (const AllocFix::Failure &failure) {
            // A field of the wrong kind (a text where a number belongs) is a fault of the row;
            // the account set's own failures pass on as they are.
            if (failure.number() != AllocFix::ErrorNumber::TypeMismatch &&
                failure.number() != AllocFix::ErrorNumber::Overflow) {
                throw;
            }
            throw Fault{u"row %1: %2"_s.arg(QString::number(row), failure.description())};
        }
    }
    // The wizard's own rules, as it applies them before it saves.
    const AllocFix::AllocationFaults faults = AllocFix::cardFaults(departments(cardId), rows);
    if (!faults.isEmpty())
        throw Fault{faultText(faults.first())};
}

void SaveChecks::checkCard(qint32 cardId, qint32 position, const RecordList &rows) const
{
    QString reason;
    try {
        checkRows(cardId, rows);
        return;
    } catch (const Fault &fault) {
        reason = fault.text;
    }
    throw AllocFix::Failure(
        AccountSetError::SaveRejected,
        LoadLangString(u"没有保存任何内容。卡片 %1（序号 %2）：%3"_s)
            .arg(CardReads::describeCard(m_set, cardId), QString::number(position), reason),
        AccountSetError::Source);
}

} // namespace FixedAssets
