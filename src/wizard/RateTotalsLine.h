#pragma once

#include "allocation/AllocationRules.h"

class QLabel;

namespace AllocFix {

class SplitBars;

// Puts each department's allocated share on line: "分配合计：管理部 100%；财务部 60%（还差 40%）",
// then what rows of no department of the card allocate ("未指定部门 20%"). Black is only a
// department the save would accept; the rest is red. A line too narrow for it drops its
// beginning, then cuts the names short, leaving out what each department lacks rather than cut
// them to nothing; its tooltip and accessible name keep the whole text.
// Without departments and such rows the line is empty.
void fillRateTotalsLine(QLabel *line, const CardTotals &totals);

} // namespace AllocFix

namespace AllocFix {
// The same shares as bars: green for a department the save would accept, red for the rest, grey
// for rows of no department of the card. The line's whole text is their tooltip and accessible
// description.
void fillSplitBars(SplitBars *bars, const CardTotals &totals);
} // namespace AllocFix
