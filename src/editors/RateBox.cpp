#include "editors/RateBox.h"

#include "allocation/AllocationRules.h"

#include <QLineEdit>

namespace AllocFix {

RateBox::RateBox(QWidget *parent)
    : QDoubleSpinBox(parent)
{
    // The validation reads each department's sum of fractions to RateSumDecimals decimals; in
    // percent that is two fewer.
    setDecimals(RateSumDecimals - 2);
    setRange(0, 100);
    // Typing counts even when it leaves the value as it was: the user chose what the box shows.
    connect(lineEdit(), &QLineEdit::textEdited, this, [this] { m_edited = true; });
    // So does any value set other than through setRate (the form clearing its boxes).
    connect(this, &QDoubleSpinBox::valueChanged, this, [this] { m_edited = !m_settingRate; });
}

void RateBox::setRate(double rate)
{
    m_settingRate = true;
    setValue(Rate::percent(rate));
    m_settingRate = false;
    m_rate = rate;
    m_edited = false;
}

double RateBox::rate() const
{
    return m_edited ? Rate::fraction(value()) : m_rate;
}

void RateBox::stepBy(int steps)
{
    QDoubleSpinBox::stepBy(steps);
    m_edited = true;
}

} // namespace AllocFix
