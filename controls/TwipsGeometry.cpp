#include "controls/TwipsGeometry.h"

#include "platform/widgets/Ui.h"

#include <QWidget>

#include <algorithm>

namespace qvcontrols {

int TwipsGeometry::toPixels(int twips)
{
    return jx::twipsToPixels(twips);
}

int TwipsGeometry::toTwips(int pixels)
{
    return jx::pixelsToTwips(pixels);
}

int TwipsGeometry::read(Axis axis, int pixels) const
{
    return m_pixels[axis] == pixels ? m_twips[axis] : toTwips(pixels);
}

void TwipsGeometry::remember(Axis axis, int twips)
{
    m_twips[axis] = twips;
    m_pixels[axis] = axis >= W ? std::max(0, toPixels(twips)) : toPixels(twips);
}

int TwipsGeometry::Left() const { return read(X, m_self->x()); }
int TwipsGeometry::Top() const { return read(Y, m_self->y()); }
int TwipsGeometry::Width() const { return read(W, m_self->width()); }
int TwipsGeometry::Height() const { return read(H, m_self->height()); }

void TwipsGeometry::setLeft(int twips) { Move(twips, Top()); }
void TwipsGeometry::setTop(int twips) { Move(Left(), twips); }
void TwipsGeometry::setWidth(int twips) { Move(Left(), Top(), twips); }
void TwipsGeometry::setHeight(int twips) { Move(Left(), Top(), Width(), twips); }

void TwipsGeometry::Move(int left, int top, int width, int height)
{
    if (width < 0)
        width = Width();
    if (height < 0)
        height = Height();
    remember(X, left);
    remember(Y, top);
    remember(W, width);
    remember(H, height);
    m_self->setGeometry(m_pixels[X], m_pixels[Y], m_pixels[W], m_pixels[H]);
}

void TwipsGeometry::ZOrder(int position)
{
    if (position == 0)
        m_self->raise();
    else
        m_self->lower();
}

void TwipsGeometry::moveTwips(QWidget *widget, int left, int top, int width, int height)
{
    widget->setGeometry(toPixels(left), toPixels(top), std::max(0, toPixels(width)), std::max(0, toPixels(height)));
}

} // namespace qvcontrols
