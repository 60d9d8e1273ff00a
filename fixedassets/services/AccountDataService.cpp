#include "services/AccountDataService.h"

#include "accountset/AccountSet.h"
#include "accountset/PreparedStatement.h"
#include "contracts/MemoryRecordSet.h"
#include "host/ByName.h"
#include "host/MMTS.h"
#include "records/FieldRecord.h"
#include "records/RecordFields.h"

using namespace Qt::StringLiterals;
using AllocFix::FieldRecord;
using AllocFix::RecordList;

namespace FixedAssets {

namespace {

template<typename Query>
QList<CodedEntry> entries(Query &&query)
{
    QList<CodedEntry> list;
    while (query.next()) {
        list.append({query.value(0).toInt(), query.value(1).toString(), query.value(2).toString(),
                     query.value(3).toInt() != 0});
    }
    return list;
}

bool isNumber(const QVariant &key)
{
    switch (key.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::Double:
        return true;
    default:
        return false;
    }
}

} // namespace

AccountSet hostAccountSet()
{
    return AccountSet::fromProps(AllocFix::MMTS::GetPropsString());
}

QObject *AccountDataService::GetAccount(const QVariant &key)
{
    if (!key.isValid() || AllocFix::isMissingArgument(key))
        return nullptr;
    const AccountSet set = hostAccountSet();
    const QString columns = u"SELECT account_id, number, name, detail FROM accounts WHERE "_s;
    QList<CodedEntry> found;
    if (isNumber(key)) {
        bool exact = false;
        const double id = key.toDouble(&exact);
        if (!exact || id != static_cast<double>(static_cast<qint32>(id)))
            return nullptr;
        // Kept prepared: the editors ask for each row's account, on a server a round trip
        // each rather than three.
        PreparedStatement query(set, columns + u"account_id = ?"_s);
        query.exec({static_cast<qint32>(id)});
        found = entries(query);
    } else {
        const QString number = key.toString().trimmed();
        if (number.isEmpty())
            return nullptr;
        PreparedStatement query(set, columns + u"number = ?"_s);
        query.exec({number});
        found = entries(query);
    }
    if (found.isEmpty())
        return nullptr;
    return new AccountObject(found.first());
}

std::unique_ptr<AllocFix::IRecordSet> AccountDataService::GetAccountItem(qint32 accountId)
{
    PreparedStatement query(hostAccountSet(),
                            u"SELECT a.class_id, c.name FROM account_item_classes a"
                            " JOIN item_classes c ON c.class_id = a.class_id"
                            " WHERE a.account_id = ? ORDER BY a.seq"_s);
    query.exec({accountId});
    RecordList classes = RecordList::create();
    while (query.next()) {
        FieldRecord itemClass = FieldRecord::create();
        itemClass.setValue(AllocFix::Fields::FItemClassID, query.value(0).toInt());
        itemClass.setValue(AllocFix::Fields::FItemClassName, query.value(1).toString());
        classes.append(itemClass);
    }
    return std::make_unique<AllocFix::MemoryRecordSet>(classes);
}

QList<CodedEntry> detailAccounts(const AccountSet &set)
{
    return entries(set.exec(u"SELECT account_id, number, name, detail FROM accounts"
                            " WHERE detail <> 0 ORDER BY number"_s));
}

QList<CodedEntry> itemsOfClass(const AccountSet &set, qint32 itemClassId)
{
    return entries(set.exec(u"SELECT item_id, number, name, detail FROM items"
                            " WHERE class_id = ? ORDER BY number, item_id"_s,
                            {itemClassId}));
}

QString itemClassName(const AccountSet &set, qint32 itemClassId)
{
    return set.scalar(u"SELECT name FROM item_classes WHERE class_id = ?"_s, {itemClassId})
        .toString();
}

} // namespace FixedAssets
