#pragma once

#include <QRect>

#include <algorithm>
#include <cmath>

namespace tallix {

// Window definitions measure in twips, 1/1440 inch: 15 twips make one logical pixel. Each measure is
// rounded on its own, as the definitions were laid out.
inline constexpr double kTwipsPerPixel = 15.0;

// A stored position may hold any number; far beyond any screen it saturates instead of wrapping round.
inline int TwipsToPixels(double twips) {
    constexpr double kLimit = 1 << 24;
    const double pixels = twips / kTwipsPerPixel;
    if (std::isnan(pixels)) return 0;
    return static_cast<int>(std::lround(std::clamp(pixels, -kLimit, kLimit)));
}
inline double PixelsToTwips(int pixels) {
    return pixels * kTwipsPerPixel;
}

inline QRect TwipsRect(int left, int top, int width, int height) {
    return {TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height)};
}

} // namespace tallix
