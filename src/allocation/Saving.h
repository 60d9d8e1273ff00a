#pragma once

namespace AllocFix {

class ManualStep;

// Hands the step's AllDict itself, keyed by card position, to the card update service in one
// call. The service stores all of it or raises; errors reach the caller, and nothing in memory
// changes. The answer is the service's: false means it saved nothing, and the caller reports it.
bool SaveAllocations(const ManualStep &step);

// Asks the card update service to complete an adjustment that left no card for manual work.
// Errors reach the caller.
bool UpdateDates();

} // namespace AllocFix
