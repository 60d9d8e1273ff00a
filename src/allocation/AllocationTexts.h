#pragma once

#include "records/FieldValue.h"
#include "records/RecordList.h"

#include <QString>

// The display texts of allocation data: an expense row's accounting items, and a department's
// name from the item service.
namespace AllocFix::AllocationTexts {

// "/" + class name + "-" + item name for each item in order: "/部门-管理部/项目-A". None or an
// empty list gives empty text.
QString ItemListText(const RecordList &items);

// The department's name, asked of "OrvGLItem.ItemInfo" anew on every call; empty text when the
// department list is empty or does not hold the ID. Failures of the service reach the caller.
QString DepartmentName(qint32 departmentId);

// Receive what the item service reports through its by-reference arguments; never read.
extern qint32 ListResultCode;
extern QString ListResultText;

void resetModuleState();

} // namespace AllocFix::AllocationTexts
