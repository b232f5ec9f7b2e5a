#pragma once

#include "toolbar/QvToolbarExport.h"

#include <QRgb>

#include <cmath>
#include <cstdint>

namespace qvtoolbar {

// Fraction to integer: nearest, ties to even (the default FP rounding mode).
inline int32_t RoundEven(double x)
{
    return static_cast<int32_t>(std::nearbyint(x));
}

// Screen geometry assumed throughout: 96 dots per inch.
constexpr int kTwipsPerPixel = 15;

// Pixels to twips and back, rounded ties to even.
inline int32_t TwipsToPixels(double twips) { return RoundEven(twips / kTwipsPerPixel); }
inline int32_t PixelsToTwips(double px) { return RoundEven(px * kTwipsPerPixel); }

// OLE colour (0x00BBGGRR, or a system colour with the top bit set) to an
// RGB value in OLE byte order. -1 stays -1; unknown system colours give 0.
QVTOOLBAR_EXPORT int32_t TranslateOleColor(int32_t oleColor);

// OLE byte order (red in the low byte) to a Qt pixel value and back.
inline QRgb OleToQRgb(int32_t c)
{
    return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}
inline int32_t QRgbToOle(QRgb c)
{
    return qRed(c) | (qGreen(c) << 8) | (qBlue(c) << 16);
}
inline int32_t OleRgb(int r, int g, int b)
{
    return r | (g << 8) | (b << 16);
}

// Per channel N((a + b) / 2) of two RGB values.
QVTOOLBAR_EXPORT int32_t BlendColors(int32_t a, int32_t b);

} // namespace qvtoolbar
