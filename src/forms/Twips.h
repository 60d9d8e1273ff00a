#pragma once

#include <QRect>
#include <QWidget>

#include <cmath>

// Form geometry is designed in twips (1/1440 inch): 15 twips to a pixel at 96 dpi.
namespace AllocFix {

inline constexpr int TwipsPerPixel = 15;

inline int twips(int value)
{
    return static_cast<int>(std::lround(static_cast<double>(value) / TwipsPerPixel));
}

inline int toTwips(int pixels)
{
    return pixels * TwipsPerPixel;
}

inline QRect twipsRect(int left, int top, int width, int height)
{
    return {twips(left), twips(top), twips(width), twips(height)};
}

inline void placeTwips(QWidget *widget, int left, int top, int width, int height)
{
    widget->setGeometry(twipsRect(left, top, width, height));
}

inline void moveLeftTwips(QWidget *widget, int left)
{
    widget->move(twips(left), widget->y());
}

// A new control of a form, named and placed in twips.
template<class Control>
Control *placedControl(QWidget *parent, const QString &objectName, int left, int top, int width,
                       int height)
{
    auto *control = new Control(parent);
    control->setObjectName(objectName);
    placeTwips(control, left, top, width, height);
    return control;
}

} // namespace AllocFix
