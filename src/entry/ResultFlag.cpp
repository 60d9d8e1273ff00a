#include "entry/ResultFlag.h"

namespace AllocFix {
bool UpdateResultFlag = false;
} // namespace AllocFix
