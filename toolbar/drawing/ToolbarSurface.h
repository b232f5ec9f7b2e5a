#pragma once

#include "toolbar/QvToolbarExport.h"
#include "toolbar/control/StdFont.h"
#include "toolbar/control/StdPicture.h"
#include "toolbar/control/ToolbarEnums.h"

#include <QImage>
#include <QPoint>
#include <QString>

#include <cstdint>
#include <vector>

namespace qvtoolbar {

class CaptionCache;

// Pixel-exact drawing primitives on a persistent image. Colours are RGB
// values in OLE byte order (red in the low byte). Drawing outside the
// image is clipped.
class QVTOOLBAR_EXPORT ToolbarSurface final
{
public:
    explicit ToolbarSurface(QImage *image) : m_img(image) {}

    void SetPixel(int x, int y, int32_t colour);
    int32_t Pixel(int x, int y) const;
    // Covers the start point, not the end point.
    void DrawLine(int x1, int y1, int x2, int y2, int32_t colour);
    // Outline (x, y)-(x + w, y + h); w = h = 1 gives a 2 x 2 block.
    void DrawRectOutline(int x, int y, int w, int h, int32_t colour);
    // Outline in colour, then alternate fill with a stock brush
    // (0 white, 4 black).
    void DrawPolygon(const std::vector<QPoint> &points, int32_t colour, int stockBrush);
    void FillVerticalGradient(int32_t top, int32_t bottom, int x1, int y1, int x2, int y2);
    void DrawGradient(int32_t start, int32_t end, int x1, int y1, int x2, int y2, bool vertical);
    void DrawGradCilinder(int32_t colour1, int32_t colour2, int x1, int y1, int x2, int y2, bool vertical);
    void DrawFace(int32_t colour1, int32_t colour2, int left, int top, int right, int bottom,
                  jcGradConst mode, bool border, int32_t borderColour);
    void DrawDropdownArrow(int x, int y);
    // One line of text, centred vertically (and horizontally when asked)
    // in the rectangle (left, top, right, bottom).
    // With a cache the rendered text is reused (same pixels).
    void DrawCaption(const QString &text, int32_t colour, int left, int top, int right, int bottom,
                     const StdFont &font, bool centred, CaptionCache *cache = nullptr);
    // Draws a picture with mask colour, tint, silhouette, grayscale and
    // blend as the toolbar needs them.
    void PaintPictureEx(int x, int y, int cx, int cy, const StdPicture *picture, int32_t maskColour,
                        int32_t tint, bool silhouette, bool grayscale, bool blend, bool useMask);

private:
    QImage *m_img;
};

} // namespace qvtoolbar
