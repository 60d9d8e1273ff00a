#pragma once

#include "records/FieldValue.h"

#include <QString>

#include <cmath>

namespace AllocFix {

// Each department's rates must add up to 1 when the sum is read to this many decimals.
inline constexpr int RateSumDecimals = 4;
// A sum of rates read to RateSumDecimals decimals, in units of the last decimal: 1 is 10000.
inline constexpr qint64 WholeRateUnits = 10000;

} // namespace AllocFix

// A rate has four forms, converted here and nowhere else:
// - the fraction of 1 that rows store and the rules check (0.25);
// - percent, as the user types and reads it (25);
// - rate units, a department's sum read to RateSumDecimals decimals (2500 of WholeRateUnits);
// - text, the percent as it is shown, without the sign.
namespace AllocFix::Rate {

inline double percent(double fraction)
{
    return fraction * 100;
}

inline double fraction(double percent)
{
    return percent / 100;
}

inline double percentOfUnits(qint64 units)
{
    return static_cast<double>(units) / (WholeRateUnits / 100.0);
}

// As the lists show a rate: 0.07 shows as 7, 1/3 as 33.3333333333333.
inline QString text(double fraction)
{
    return formatNumber(percent(fraction));
}

inline QString unitsText(qint64 units)
{
    return formatNumber(percentOfUnits(units));
}

// Percent to six decimals of the fraction, as worksheets and the audit show it: more than anyone
// types, and none of a double's noise (60.00000000000001).
inline double roundedPercent(double fraction)
{
    return std::round(fraction * 1000000.0) / 10000.0;
}

inline QString roundedText(double fraction)
{
    return formatNumber(roundedPercent(fraction));
}

} // namespace AllocFix::Rate
