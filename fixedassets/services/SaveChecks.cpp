#include "services/SaveChecks.h"

#include "accountset/AccountSet.h"
#include "accountset/AccountSetErrors.h"
#include "records/FieldRecord.h"
#include "records/RecordFields.h"
#include "services/CardRecords.h"

#include <QHash>

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

void checkAccount(const AccountSet &set, qint32 accountId)
{
    QSqlQuery query =
        set.exec(u"SELECT number, detail FROM accounts WHERE account_id = ?"_s, {accountId});
    if (!query.next())
        throw Fault{u"account %1 does not exist"_s.arg(accountId)};
    if (query.value(1).toInt() == 0) {
        throw Fault{u"account %1 is not a detail-level account"_s.arg(query.value(0).toString())};
    }
}

void checkItems(const AccountSet &set, const RecordList &items)
{
    for (qsizetype i = 1; items && i <= items.count(); ++i) {
        const FieldRecord item = items.at(i);
        const qint32 classId = item.value(Fields::FItemClassID).toInt();
        const qint32 itemId = item.value(Fields::FItemID).toInt();
        const bool belongs = set.scalar(u"SELECT 1 FROM items WHERE item_id = ? AND class_id = ?"_s,
                                        {itemId, classId})
                                 .isValid();
        if (!belongs)
            throw Fault{u"item %1 does not belong to item class %2"_s.arg(itemId).arg(classId)};
    }
}

void checkRows(const AccountSet &set, const RecordList &departments, qint32 cardId,
               const RecordList &rows)
{
    QHash<qint32, double> rateSums;
    for (qsizetype d = 1; d <= departments.count(); ++d)
        rateSums.insert(departments.at(d).value(Fields::FItemID).toInt(), 0.0);

    for (qsizetype position = 1; position <= rows.count(); ++position) {
        const FieldRecord row = rows.at(position);
        const AllocFix::FieldValue rowCard = row.value(Fields::FAlterID);
        if (!rowCard.isEmpty() && rowCard.toInt() != cardId)
            throw Fault{u"row %1 belongs to card %2"_s.arg(position).arg(rowCard.toInt())};
        const qint32 departmentId = row.value(Fields::FDeptID).toInt();
        if (!rateSums.contains(departmentId)) {
            throw Fault{
                u"row %1: department %2 does not use this card"_s.arg(position).arg(departmentId)};
        }
        checkAccount(set, row.value(Fields::FAcctID).toInt());
        checkItems(set, row.value(Fields::Detail).toList());
        const double rate = row.value(Fields::FRate).toDouble();
        if (!(rate > 0.0))
            throw Fault{u"row %1: the rate must be above 0"_s.arg(position)};
        rateSums[departmentId] += rate;
    }
    for (qsizetype d = 1; d <= departments.count(); ++d) {
        const FieldRecord department = departments.at(d);
        const double sum = rateSums.value(department.value(Fields::FItemID).toInt());
        if (std::llround(sum * 10000.0) != 10000) {
            throw Fault{u"the rates of department %1 sum to %2, not 100%"_s.arg(
                department.value(Fields::FItemName).toText(),
                AllocFix::formatNumber(100.0 * sum) + u'%')};
        }
    }
}

} // namespace

void checkNewRows(const AccountSet &set, qint32 cardId, qint32 position, const RecordList &rows)
{
    QString reason;
    try {
        checkRows(set, CardRecords::departments(set, cardId), cardId, rows);
        return;
    } catch (const Fault &fault) {
        reason = fault.text;
    } catch (const AllocFix::Failure &failure) {
        // A field of the wrong kind (a text where a number belongs) is a fault of the rows too.
        reason = failure.description();
    }
    throw AllocFix::Failure(
        AccountSetError::SaveRejected,
        u"Nothing was saved. Card %1 (position %2): %3"_s.arg(
            CardRecords::describeCard(set, cardId), QString::number(position), reason),
        AccountSetError::Source);
}

} // namespace FixedAssets
