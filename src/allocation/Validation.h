#pragma once

namespace AllocFix {

class ManualStep;

// Each department's rates must add up to 1 when the sum is read to this many decimals.
inline constexpr int RateSumDecimals = 4;

// Checks every card of the manual step before anything is saved: each card was shown, no
// department carries the same allocation twice, every department of the card has rows, and
// each department's rows add up to 100 %. Writes one line per fault, each ended by CR LF, to
// ValidationText, in the order found, and answers whether there was none.
//
// An error on the way (a failing card service, a card whose rows were never loaded) ends the
// check at once with false; the lines found so far stay.
bool ValidateAllocations(const ManualStep &step);

} // namespace AllocFix
