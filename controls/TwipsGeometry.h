#pragma once

#include "jx_controls_export.h"

class QWidget;

namespace qvcontrols {

// Position and size of a control in twips, as the console works. The widget
// itself lives in pixels; a value set in twips reads back exactly as long as
// the widget's pixel geometry has not been changed some other way since
// (otherwise the pixel value converted to twips is read).
class JX_CONTROLS_EXPORT TwipsGeometry
{
public:
    explicit TwipsGeometry(QWidget *self) : m_self(self) {}

    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void setLeft(int twips);
    void setTop(int twips);
    void setWidth(int twips);
    void setHeight(int twips);
    // Moves and sizes in one step; a negative width or height keeps that one.
    void Move(int left, int top, int width = -1, int height = -1);
    // 0 brings the control to the front of its siblings, 1 sends it to the back.
    void ZOrder(int position = 0);

    // For widgets without the mixin.
    static void moveTwips(QWidget *widget, int left, int top, int width, int height);
    static int toPixels(int twips);
    static int toTwips(int pixels);

private:
    enum Axis { X, Y, W, H };
    int read(Axis axis, int pixels) const;
    void remember(Axis axis, int twips);

    QWidget *m_self;
    int m_twips[4] = {0, 0, 0, 0};
    int m_pixels[4] = {-1, -1, -1, -1};
};

} // namespace qvcontrols
