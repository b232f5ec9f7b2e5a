#pragma once

#include <QRect>
#include <QSize>

class QWidget;

namespace jx {

// Shows the window application-modal and returns when it is hidden, closed
// or destroyed. For a QDialog the result of exec(), otherwise 0.
int showModal(QWidget *window);
// Shows the window without blocking and brings it to the front.
void showModeless(QWidget *window);
// Processes the pending events once.
void doEvents();

// Logical dots per inch of the primary screen; 96 when there is no screen.
int screenDpiX();
int screenDpiY();

// Twips (1440 per inch) per pixel: 1440 / dpi, rounded; 15 without a screen.
int twipsPerPixelX();
int twipsPerPixelY();

// Exact integer conversions, rounding half to even. The one-argument forms
// use the horizontal screen resolution.
int twipsToPixels(int twips, int dpi);
int pixelsToTwips(int pixels, int dpi);
int twipsToPixels(int twips);
int pixelsToTwips(int pixels);

// Geometry conversions using the horizontal resolution for x and width and
// the vertical one for y and height.
QRect twipsToPixels(const QRect &twips);
QRect pixelsToTwips(const QRect &pixels);
QSize twipsToPixels(const QSize &twips);
QSize pixelsToTwips(const QSize &pixels);

// Integer division a / b rounded to nearest, ties to even (b > 0).
long long divRoundHalfEven(long long a, long long b);

} // namespace jx
