#pragma once

#include <QtGlobal>

// Window geometry is specified in twips; on screen it is device-independent pixels
// at 15 twips a pixel, so proportions hold on high-DPI screens too.
namespace twips {

inline constexpr int kPerPixel = 15;

constexpr int toPixels(double value)
{
    return qRound(value / kPerPixel);
}

constexpr int toPixelsAtLeast(int value)
{
    return (value + kPerPixel - 1) / kPerPixel;
}

constexpr double fromPixels(int pixels)
{
    return double(pixels) * kPerPixel;
}

} // namespace twips
