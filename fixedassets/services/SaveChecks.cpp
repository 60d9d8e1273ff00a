#include "services/SaveChecks.h"

#include "accountset/AccountSet.h"
#include "accountset/AccountSetErrors.h"
#include "records/FieldRecord.h"
#include "records/RecordFields.h"
#include "services/CardRecords.h"

#include <cmath>

using namespace Qt::StringLiterals;
using AllocFix::FieldRecord;
using AllocFix::RecordList;
namespace Fields = AllocFix::Fields;

namespace FixedAssets {

namespace {

struct Fault {
    QString text;
};

struct Department {
    QString name;
    double rateSum = 0.0;
    int rows = 0;
};

} // namespace

SaveChecks::SaveChecks(const AccountSet &set)
    : m_set(set)
{}

const SaveChecks::Account &SaveChecks::account(qsizetype row, qint32 accountId)
{
    auto found = m_accounts.find(accountId);
    if (found == m_accounts.end()) {
        std::optional<Account> fetched;
        QSqlQuery query =
            m_set.exec(u"SELECT number, detail FROM accounts WHERE account_id = ?"_s, {accountId});
        if (query.next()) {
            fetched = Account{query.value(0).toString(), query.value(1).toInt() != 0, {}};
            query.finish();
            QSqlQuery classes = m_set.exec(
                u"SELECT class_id FROM account_item_classes WHERE account_id = ? ORDER BY seq"_s,
                {accountId});
            while (classes.next())
                fetched->classes.append(classes.value(0).toInt());
        }
        found = m_accounts.insert(accountId, fetched);
    }
    if (!*found)
        throw Fault{u"row %1: account %2 does not exist"_s.arg(row).arg(accountId)};
    if (!(*found)->detail) {
        throw Fault{
            u"row %1: account %2 is not a detail-level account"_s.arg(row).arg((*found)->number)};
    }
    return **found;
}

const std::optional<SaveChecks::Item> &SaveChecks::item(qint32 itemId)
{
    auto found = m_items.find(itemId);
    if (found == m_items.end()) {
        std::optional<Item> fetched;
        QSqlQuery query =
            m_set.exec(u"SELECT class_id, detail, name FROM items WHERE item_id = ?"_s, {itemId});
        if (query.next())
            fetched = Item{query.value(0).toInt(), query.value(1).toInt() != 0,
                           query.value(2).toString()};
        found = m_items.insert(itemId, fetched);
    }
    return *found;
}

QString SaveChecks::checkItems(qsizetype row, const Account &account, const RecordList &items)
{
    const qsizetype count = items ? items.count() : 0;
    if (count != account.classes.size()) {
        throw Fault{u"row %1: account %2 needs one item per item class (%3 in all); the row has "
                    "%4"_s.arg(QString::number(row), account.number,
                               QString::number(account.classes.size()), QString::number(count))};
    }
    QString names;
    for (qsizetype i = 1; i <= count; ++i) {
        const FieldRecord given = items.at(i);
        const qint32 wantedClass = account.classes.at(i - 1);
        const qint32 classId = given.value(Fields::FItemClassID).toInt();
        const qint32 itemId = given.value(Fields::FItemID).toInt();
        const QString where = u"row %1, item %2: "_s.arg(row).arg(i);
        if (classId != wantedClass) {
            throw Fault{where + u"account %1 has item class %2 in this place, not %3"_s.arg(
                                    account.number, QString::number(wantedClass),
                                    QString::number(classId))};
        }
        const std::optional<Item> &stored = item(itemId);
        if (!stored || stored->classId != classId) {
            throw Fault{where +
                        u"item %1 does not belong to item class %2"_s.arg(itemId).arg(classId)};
        }
        if (!stored->detail)
            throw Fault{where + u"item %1 is not a detail-level item"_s.arg(stored->name)};
        names += u'/' + stored->name;
    }
    return names;
}

void SaveChecks::checkRows(qint32 cardId, const RecordList &rows)
{
    const RecordList departments = CardRecords::departments(m_set, cardId);
    QHash<qint32, Department> byId;
    for (qsizetype d = 1; d <= departments.count(); ++d) {
        const FieldRecord department = departments.at(d);
        byId.insert(department.value(Fields::FItemID).toInt(),
                    {department.value(Fields::FItemName).toText()});
    }

    // Department, account and item names, as the wizard tells two rows apart.
    QHash<QString, qsizetype> seen;
    const auto checkRow = [&](qsizetype row, const FieldRecord &fields) {
        const AllocFix::FieldValue rowCard = fields.value(Fields::FAlterID);
        if (rowCard.isEmpty())
            throw Fault{u"row %1 has no FAlterID"_s.arg(row)};
        if (rowCard.toInt() != cardId) {
            throw Fault{
                u"row %1 belongs to the card with FAlterID %2; check the cards again"_s.arg(row)
                    .arg(rowCard.toInt())};
        }
        const qint32 departmentId = fields.value(Fields::FDeptID).toInt();
        const auto department = byId.find(departmentId);
        if (departmentId == 0)
            throw Fault{u"row %1 has no department (a legacy row)"_s.arg(row)};
        if (department == byId.end()) {
            throw Fault{
                u"row %1: department %2 does not use this card"_s.arg(row).arg(departmentId)};
        }
        const qint32 accountId = fields.value(Fields::FAcctID).toInt();
        const QString itemNames =
            checkItems(row, account(row, accountId), fields.value(Fields::Detail).toList());
        const double rate = fields.value(Fields::FRate).toDouble();
        if (!(rate > 0.0 && rate <= 1.0)) {
            throw Fault{u"row %1: the rate %2 must be above 0 and at most 1"_s.arg(
                QString::number(row), AllocFix::formatNumber(rate))};
        }
        const QString key = u"%1|%2|"_s.arg(departmentId).arg(accountId) + itemNames;
        if (const qsizetype first = seen.value(key); first != 0) {
            throw Fault{
                u"row %1 repeats row %2: the same department, account and items"_s.arg(row).arg(
                    first)};
        }
        seen.insert(key, row);
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

    for (qsizetype d = 1; d <= departments.count(); ++d) {
        const Department &department = byId[departments.at(d).value(Fields::FItemID).toInt()];
        if (department.rows == 0)
            throw Fault{u"department %1 has no expense row"_s.arg(department.name)};
        if (std::llround(department.rateSum * 10000.0) != 10000) {
            throw Fault{u"the rates of department %1 sum to %2, not 100%"_s.arg(
                department.name, AllocFix::formatNumber(100.0 * department.rateSum) + u'%')};
        }
    }
}

void SaveChecks::checkCard(qint32 cardId, qint32 position, const RecordList &rows)
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
        u"Nothing was saved. Card %1 (position %2): %3"_s.arg(
            CardRecords::describeCard(m_set, cardId), QString::number(position), reason),
        AccountSetError::Source);
}

} // namespace FixedAssets
