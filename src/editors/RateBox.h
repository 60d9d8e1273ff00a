#pragma once

#include <QDoubleSpinBox>

namespace AllocFix {

// The rate of an expense row, shown in percent. The box shows the rate only to the decimals the
// validation counts, so it gives back the rate it was given, to the last bit, for as long as the
// user has not edited it; any edit, even one back to the same digits, gives back what it shows.
class RateBox : public QDoubleSpinBox {
    Q_OBJECT
public:
    explicit RateBox(QWidget *parent = nullptr);

    // Rates are fractions of 1: 0.25 shows as 25. The box counts as untouched from here on.
    void setRate(double rate);
    double rate() const;

    void stepBy(int steps) override;

private:
    double m_rate = 0;
    bool m_edited = false;
    bool m_settingRate = false;
};

} // namespace AllocFix
