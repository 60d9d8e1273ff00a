#pragma once

#include <QDoubleSpinBox>

namespace AllocFix {

// The rate of an expense row, shown in percent. The box shows the rate only to the decimals the
// validation counts, so it keeps the rate it was given and gives that back, to the last bit,
// until the value shown is changed.
class RateBox : public QDoubleSpinBox {
    Q_OBJECT
public:
    explicit RateBox(QWidget *parent = nullptr);

    // Rates are fractions of 1: 0.25 shows as 25.
    void setRate(double rate);
    double rate() const;

private:
    double m_rate = 0;
    double m_shownValue = 0;
};

} // namespace AllocFix
