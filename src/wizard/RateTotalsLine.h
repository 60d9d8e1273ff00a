#pragma once

#include "allocation/Validation.h"

#include <QList>

class QLabel;

namespace AllocFix {

// Puts each department's allocated share on line: "分配合计：管理部 100%；财务部 60%（还差 40%）",
// a department short of 100 % or beyond it in red. A line too narrow for it drops its beginning,
// then cuts the department names short; its tooltip and accessible name keep the whole text.
// Without totals the line is empty.
void fillRateTotalsLine(QLabel *line, const QList<DepartmentTotal> &totals);

} // namespace AllocFix
