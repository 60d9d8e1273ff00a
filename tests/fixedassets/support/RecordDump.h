#pragma once

#include "records/FieldRecord.h"
#include "records/RecordList.h"

#include <QString>

namespace FixedAssets::Testing {

// Every field of every record, with its kind, lists within lists too: two answers are the same
// when their dumps are.
QString dump(const AllocFix::RecordList &list);
QString dump(const AllocFix::FieldRecord &record);

} // namespace FixedAssets::Testing
