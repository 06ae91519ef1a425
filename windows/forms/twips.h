#pragma once

#include <QRect>

#include <cmath>

namespace tallix {

// Window definitions measure in twips, 1/1440 inch: 15 twips make one logical pixel. Each measure is
// rounded on its own, as the definitions were laid out.
inline constexpr double kTwipsPerPixel = 15.0;

inline int TwipsToPixels(double twips) {
    return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}
inline double PixelsToTwips(int pixels) {
    return pixels * kTwipsPerPixel;
}

inline QRect TwipsRect(int left, int top, int width, int height) {
    return {TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height)};
}

} // namespace tallix
