#pragma once

// What ShowUpdate.UpdateResult reports: whether the last adjustment of this component's life was
// carried through. Shared by every ShowUpdate instance and never reset by a new showing.
namespace AllocFix {
extern bool UpdateResultFlag;
} // namespace AllocFix
