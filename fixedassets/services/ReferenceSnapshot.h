#pragma once

#include "records/RecordList.h"

#include <QHash>

#include <memory>

namespace FixedAssets {

class AccountSet;

// Reference data that the wizard asks for with every row it shows (the department list behind
// each department name), read from the account set once and kept until the account set
// changes. Every answer first asks the database for its data version (SqlDriver), which moves
// with any write, of this program or another, and costs a small part of reading the list again.
namespace ReferenceSnapshot {

// What anything kept from the account set's data is valid for: the connection it was read on
// and the data version it was read at. Taken before the data is read, so that a write in
// between shows at the next comparison.
struct DataStamp {
    quint64 closedConnections = 0;
    QString dataVersion;
    friend bool operator==(const DataStamp &, const DataStamp &) = default;
};
DataStamp dataStamp(const AccountSet &set);

struct ItemList {
    // "FItemID", "FName", "FNumber", "FDetail", in number order.
    AllocFix::RecordList records;
    // The position in records of each "FItemID" (the items' key: one position each).
    QHash<qint32, qsizetype> positions;
};

// The items of a class, shared by every caller until the account set changes: read it, never
// change it.
std::shared_ptr<const ItemList> itemList(const AccountSet &set, qint32 itemClassId);

} // namespace ReferenceSnapshot
} // namespace FixedAssets
