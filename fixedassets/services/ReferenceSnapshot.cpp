#include "services/ReferenceSnapshot.h"

#include "accountset/AccountSet.h"
#include "accountset/PreparedStatement.h"
#include "records/FieldRecord.h"
#include "services/AccountDataService.h"

#include <QHash>

using namespace Qt::StringLiterals;
using AllocFix::FieldRecord;
using AllocFix::RecordList;

namespace FixedAssets::ReferenceSnapshot {

namespace {

struct Snapshot {
    DataStamp stamp;
    std::shared_ptr<const ItemList> items;
};

// By account set and item class. Lives on the user-interface thread, like the connections.
QHash<std::pair<QString, qint32>, Snapshot> &snapshots()
{
    static QHash<std::pair<QString, qint32>, Snapshot> kept;
    return kept;
}

} // namespace

DataStamp dataStamp(const AccountSet &set)
{
    const quint64 closedConnections = AccountSet::closedConnections();
    PreparedStatement query(set, set.driver().dialect().dataVersionQuery());
    query.exec({});
    return {closedConnections, query.next() ? query.value(0).toString() : QString()};
}

std::shared_ptr<const ItemList> itemList(const AccountSet &set, qint32 itemClassId)
{
    const DataStamp stamp = dataStamp(set);
    Snapshot &snapshot = snapshots()[{set.location().url(), itemClassId}];
    if (snapshot.items && snapshot.stamp == stamp)
        return snapshot.items;
    auto items = std::make_shared<ItemList>();
    items->records = RecordList::create();
    const QList<CodedEntry> entries = itemsOfClass(set, itemClassId);
    for (const CodedEntry &entry : entries) {
        FieldRecord item = FieldRecord::create();
        item.setValue(u"FItemID"_s, entry.id);
        item.setValue(u"FName"_s, entry.name);
        item.setValue(u"FNumber"_s, entry.number);
        item.setValue(u"FDetail"_s, entry.detail ? 1 : 0);
        items->positions.insert(entry.id, items->records.append(item));
    }
    snapshot = {stamp, items};
    return items;
}

} // namespace FixedAssets::ReferenceSnapshot
