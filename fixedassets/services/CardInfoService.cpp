#include "services/CardInfoService.h"

#include "accountset/AccountSet.h"
#include "allocation/Rate.h"
#include "records/RecordFields.h"
#include "services/Adjustment.h"
#include "services/CardReadAhead.h"
#include "services/CardReads.h"

using namespace Qt::StringLiterals;
using AllocFix::FieldRecord;
using AllocFix::RecordList;
namespace Fields = AllocFix::Fields;

namespace FixedAssets {

FieldRecord CardInfoService::CheckDataForUpDate(const QString &props)
{
    // Counts read from a damaged file may be wrong without any error, and a set that cannot be
    // written is better told now than at the adjustment.
    const AccountSet set = AccountSet::fromProps(props);
    set.requireWritableAndIntact();
    const Adjustment::CardCounts cards = Adjustment::countCards(set);
    FieldRecord counts = FieldRecord::create();
    counts.setValue(Fields::Total, cards.total);
    counts.setValue(Fields::Manual, cards.manual);
    return counts;
}

namespace {

// Reading ahead saves round trips; where a statement is none (SQLite), checking the data version
// and copying the kept records costs more than reading the card alone.
bool readsAhead(const AccountSet &set)
{
    return set.driver().dialect().roundTripPerStatement();
}

} // namespace

RecordList CardInfoService::GetDept(const QString &props, qint32 &cardId)
{
    const AccountSet set = AccountSet::fromProps(props);
    return readsAhead(set) ? CardReadAhead::departments(set, cardId)
                           : CardReads::departments(set, cardId);
}

RecordList CardInfoService::GetExpense(const QString &props, qint32 &cardId)
{
    const AccountSet set = AccountSet::fromProps(props);
    return readsAhead(set) ? CardReadAhead::expenseRows(set, cardId)
                           : CardReads::expenseRows(set, cardId);
}

FieldRecord CardInfoService::GetCardInf(const QString &props, qint32 &cardId)
{
    const AccountSet set = AccountSet::fromProps(props);
    return readsAhead(set) ? CardReadAhead::reference(set, cardId)
                           : CardReads::reference(set, cardId);
}

QHash<qint32, AllocFix::CardCopyKey> CardInfoService::GetCopyKeys(const QString &props,
                                                                  const QList<qint32> &cardIds)
{
    return CardReads::copyKeys(AccountSet::fromProps(props), cardIds);
}

FieldRecord CardInfoService::GetDetail(const QString &props, qint32 &cardId)
{
    const AccountSet set = AccountSet::fromProps(props);
    CardReads::requireCard(set, cardId);
    QSqlQuery query = set.exec(
        u"SELECT asset_number, asset_name, entry_date, category, model, site, original_value,"
        " accumulated_depreciation, useful_life_months, depreciation_method, status"
        " FROM cards WHERE alter_id = ?"_s,
        {cardId});
    query.next();
    FieldRecord detail = FieldRecord::create();
    detail.setValue(Fields::FAlterID, cardId);
    detail.setValue(Fields::FAssetNumber, query.value(0).toString());
    detail.setValue(Fields::FAssetName, query.value(1).toString());
    detail.setValue(Fields::FDate, query.value(2).toString());
    detail.setValue(u"FCategory"_s, query.value(3).toString());
    detail.setValue(u"FModel"_s, query.value(4).toString());
    detail.setValue(u"FLocation"_s, query.value(5).toString());
    const double original = query.value(6).toDouble();
    const double accumulated = query.value(7).toDouble();
    detail.setValue(u"FOriginalValue"_s, original);
    detail.setValue(u"FAccumulatedDepreciation"_s, accumulated);
    detail.setValue(u"FNetValue"_s, original - accumulated);
    detail.setValue(u"FUsefulLife"_s, query.value(8).toInt());
    detail.setValue(u"FDepreciationMethod"_s, query.value(9).toString());
    detail.setValue(u"FStatus"_s, query.value(10).toString());

    const RecordList departments = CardReads::departments(set, cardId);
    QStringList shares;
    for (qsizetype d = 1; d <= departments.count(); ++d) {
        const FieldRecord department = departments.at(d);
        shares.append(department.value(Fields::FItemName).toText() + u' ' +
                      AllocFix::Rate::text(department.value(Fields::FRate).toDouble()) + u'%');
    }
    detail.setValue(u"FDepartments"_s, shares.join(u"、"_s));
    return detail;
}

} // namespace FixedAssets
