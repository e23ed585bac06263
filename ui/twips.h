#pragma once

#include <QWidget>

// Window geometry is specified in twips; on screen it is device-independent pixels
// at 15 twips a pixel, so proportions hold on high-DPI screens too.
namespace twips {

inline constexpr int kPerPixel = 15;

constexpr int toPixels(double value)
{
    return qRound(value / kPerPixel);
}

// The fewest whole pixels not below a length: 5000 twips are 333 1/3 pixels.
constexpr int toPixelsAtLeast(int value)
{
    return (value + kPerPixel - 1) / kPerPixel;
}

constexpr double fromPixels(int pixels)
{
    return double(pixels) * kPerPixel;
}

inline void place(QWidget *widget, int left, int top, int width, int height)
{
    widget->setGeometry(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

} // namespace twips
