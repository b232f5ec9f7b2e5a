#pragma once

#include "jx_platform_widgets_export.h"

#include <QRect>
#include <QSize>

class QWidget;

namespace jx {

// Shows the window application-modal and returns when it is hidden, closed
// or destroyed. For a QDialog the result of exec(), otherwise 0.
JX_PLATFORM_WIDGETS_EXPORT int showModal(QWidget *window);
// Shows the window without blocking and brings it to the front.
JX_PLATFORM_WIDGETS_EXPORT void showModeless(QWidget *window);
// Processes the pending events once.
JX_PLATFORM_WIDGETS_EXPORT void doEvents();

// Logical dots per inch of the primary screen; 96 when there is no screen.
JX_PLATFORM_WIDGETS_EXPORT int screenDpiX();
JX_PLATFORM_WIDGETS_EXPORT int screenDpiY();

// Twips (1440 per inch) per pixel: 1440 / dpi, rounded; 15 without a screen.
JX_PLATFORM_WIDGETS_EXPORT int twipsPerPixelX();
JX_PLATFORM_WIDGETS_EXPORT int twipsPerPixelY();

// Exact integer conversions, rounding half to even. The one-argument forms
// use the horizontal screen resolution.
JX_PLATFORM_WIDGETS_EXPORT int twipsToPixels(int twips, int dpi);
JX_PLATFORM_WIDGETS_EXPORT int pixelsToTwips(int pixels, int dpi);
JX_PLATFORM_WIDGETS_EXPORT int twipsToPixels(int twips);
JX_PLATFORM_WIDGETS_EXPORT int pixelsToTwips(int pixels);

// Geometry conversions using the horizontal resolution for x and width and
// the vertical one for y and height.
JX_PLATFORM_WIDGETS_EXPORT QRect twipsToPixels(const QRect &twips);
JX_PLATFORM_WIDGETS_EXPORT QRect pixelsToTwips(const QRect &pixels);
JX_PLATFORM_WIDGETS_EXPORT QSize twipsToPixels(const QSize &twips);
JX_PLATFORM_WIDGETS_EXPORT QSize pixelsToTwips(const QSize &pixels);

// Integer division a / b rounded to nearest, ties to even (b > 0).
JX_PLATFORM_WIDGETS_EXPORT long long divRoundHalfEven(long long a, long long b);

} // namespace jx
