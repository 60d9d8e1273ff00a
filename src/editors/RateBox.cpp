#include "editors/RateBox.h"

#include "allocation/Validation.h"

namespace AllocFix {

RateBox::RateBox(QWidget *parent)
    : QDoubleSpinBox(parent)
{
    // The validation reads each department's sum of fractions to RateSumDecimals decimals; in
    // percent that is two fewer.
    setDecimals(RateSumDecimals - 2);
    setRange(0, 100);
}

void RateBox::setRate(double rate)
{
    m_rate = rate;
    setValue(rate * 100);
    m_shownValue = value();
}

double RateBox::rate() const
{
    return value() == m_shownValue ? m_rate : value() / 100;
}

} // namespace AllocFix
