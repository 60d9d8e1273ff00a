#include "services/SaveChecks.h"

#include "accountset/AccountSet.h"
#include "accountset/AccountSetErrors.h"
#include "host/MMTS.h"
#include "records/FieldRecord.h"
#include "records/RecordFields.h"
#include "services/CardRecords.h"

#include <algorithm>
#include <cmath>
#include <utility>

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

// A department of the card being checked, and what its rows add up to.
struct DepartmentSum {
    qint32 id = 0;
    double rateSum = 0.0;
    int rows = 0;
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
        m_departments[departments.value(0).toInt()].append(departments.value(1).toInt());
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

QStringList SaveChecks::checkItems(qsizetype row, const Account &account,
                                   const RecordList &items) const
{
    const qsizetype count = items ? items.count() : 0;
    if (count != account.classes.size()) {
        throw Fault{
            LoadLangString(
                u"第 %1 行：科目 %2 的每个核算类别都需要一个核算项目（共 %3 个）；该行有 %4 个"_s)
                .arg(QString::number(row), account.number, QString::number(account.classes.size()),
                     QString::number(count))};
    }
    QStringList names;
    names.reserve(count);
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
        names.append(stored->name);
    }
    return names;
}

void SaveChecks::checkRows(qint32 cardId, const RecordList &rows) const
{
    // A card has a handful of departments and rows: lists searched in turn cost less than hashes.
    QList<DepartmentSum> departments;
    const auto queued = m_departments.constFind(cardId);
    if (queued != m_departments.cend()) {
        for (const qint32 departmentId : *queued)
            departments.append(DepartmentSum{departmentId});
    } else {
        // A card outside the queue (a dry run before the adjustment) is read on its own.
        const RecordList read = CardRecords::departments(m_set, cardId);
        for (qsizetype d = 1; d <= read.count(); ++d)
            departments.append(DepartmentSum{read.at(d).value(Fields::FItemID).toInt()});
    }

    // Department, account and item names, as the wizard tells two rows apart.
    struct SeenRow {
        qint32 departmentId = 0;
        qint32 accountId = 0;
        QStringList itemNames;
    };
    QList<SeenRow> seen;
    const auto checkRow = [&](qsizetype row, const FieldRecord &fields) {
        const AllocFix::FieldValue rowCard = fields.value(Fields::FAlterID);
        if (rowCard.isEmpty())
            throw Fault{LoadLangString(u"第 %1 行没有 FAlterID"_s).arg(row)};
        if (rowCard.toInt() != cardId) {
            throw Fault{LoadLangString(u"第 %1 行属于 FAlterID 为 %2 的卡片；请重新检查卡片"_s)
                            .arg(row)
                            .arg(rowCard.toInt())};
        }
        const qint32 departmentId = fields.value(Fields::FDeptID).toInt();
        if (departmentId == 0)
            throw Fault{LoadLangString(u"第 %1 行没有部门（原有的行）"_s).arg(row)};
        const auto department =
            std::find_if(departments.begin(), departments.end(),
                         [departmentId](const DepartmentSum &d) { return d.id == departmentId; });
        if (department == departments.end()) {
            throw Fault{
                LoadLangString(u"第 %1 行：部门 %2 不使用这张卡片"_s).arg(row).arg(departmentId)};
        }
        const qint32 accountId = fields.value(Fields::FAcctID).toInt();
        QStringList itemNames =
            checkItems(row, account(row, accountId), fields.value(Fields::Detail).toList());
        const double rate = fields.value(Fields::FRate).toDouble();
        if (!(rate > 0.0 && rate <= 1.0)) {
            throw Fault{LoadLangString(u"第 %1 行：比例 %2 必须大于 0 且不大于 1"_s)
                            .arg(QString::number(row), AllocFix::formatNumber(rate))};
        }
        const auto first = std::find_if(seen.cbegin(), seen.cend(), [&](const SeenRow &earlier) {
            return earlier.departmentId == departmentId && earlier.accountId == accountId &&
                   earlier.itemNames == itemNames;
        });
        if (first != seen.cend()) {
            throw Fault{LoadLangString(u"第 %1 行与第 %2 行重复：部门、科目和核算项目都相同"_s)
                            .arg(row)
                            .arg(first - seen.cbegin() + 1)};
        }
        seen.append({departmentId, accountId, std::move(itemNames)});
        department->rateSum += rate;
        ++department->rows;
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

    for (const DepartmentSum &department : std::as_const(departments)) {
        if (department.rows == 0)
            throw Fault{
                LoadLangString(u"部门 %1 没有费用分配行"_s).arg(departmentName(department.id))};
        if (std::llround(department.rateSum * 10000.0) != 10000) {
            throw Fault{LoadLangString(u"部门 %1 的比例合计为 %2，不是 100%"_s)
                            .arg(departmentName(department.id),
                                 AllocFix::formatNumber(100.0 * department.rateSum) + u'%')};
        }
    }
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
            .arg(CardRecords::describeCard(m_set, cardId), QString::number(position), reason),
        AccountSetError::Source);
}

} // namespace FixedAssets
