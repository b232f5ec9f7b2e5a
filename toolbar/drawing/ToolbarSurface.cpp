#include "toolbar/drawing/ToolbarSurface.h"

#include "toolbar/control/ToolbarColors.h"
#include "toolbar/drawing/CaptionCache.h"
#include "toolbar/drawing/clsMemDC.h"

#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <cstdlib>

namespace qvtoolbar {

namespace {
inline int ch(int32_t c, int shift) { return (c >> shift) & 0xFF; }

// N(a + (b - a) * i / d) per channel, in single precision; a zero divisor
// (an empty rectangle) keeps the start colour instead of dividing by zero.
int32_t lerp(int32_t a, int32_t b, int i, int d)
{
    if (d == 0)
        return a & 0xFFFFFF;
    int out[3];
    for (int k = 0; k < 3; ++k) {
        const float ca = static_cast<float>(ch(a, 8 * k));
        const float cb = static_cast<float>(ch(b, 8 * k));
        const float v = ca + (cb - ca) * static_cast<float>(i) / static_cast<float>(d);
        out[k] = std::clamp(RoundEven(v), 0, 255);
    }
    return OleRgb(out[0], out[1], out[2]);
}
} // namespace

void ToolbarSurface::SetPixel(int x, int y, int32_t colour)
{
    if (!m_img || x < 0 || y < 0 || x >= m_img->width() || y >= m_img->height())
        return;
    reinterpret_cast<QRgb *>(m_img->scanLine(y))[x] = OleToQRgb(colour);
}

int32_t ToolbarSurface::Pixel(int x, int y) const
{
    if (!m_img || x < 0 || y < 0 || x >= m_img->width() || y >= m_img->height())
        return -1;
    return QRgbToOle(m_img->pixel(x, y));
}

void ToolbarSurface::DrawLine(int x1, int y1, int x2, int y2, int32_t colour)
{
    if (!m_img)
        return;
    if (y1 == y2) { // the common case: gradient rows
        if (y1 < 0 || y1 >= m_img->height() || x1 == x2)
            return;
        // The covered span, start included and end left out, clipped once.
        int lo = x2 > x1 ? x1 : x2 + 1;
        int hi = x2 > x1 ? x2 : x1 + 1;
        lo = std::max(lo, 0);
        hi = std::min(hi, m_img->width());
        if (lo >= hi)
            return;
        QRgb *row = reinterpret_cast<QRgb *>(m_img->scanLine(y1));
        std::fill(row + lo, row + hi, OleToQRgb(colour));
        return;
    }
    // Bresenham, leaving out the end point.
    int dx = std::abs(x2 - x1), sx = x1 < x2 ? 1 : -1;
    int dy = -std::abs(y2 - y1), sy = y1 < y2 ? 1 : -1;
    int err = dx + dy;
    int x = x1, y = y1;
    while (!(x == x2 && y == y2)) {
        SetPixel(x, y, colour);
        const int e2 = 2 * err;
        if (e2 >= dy) { err += dy; x += sx; }
        if (e2 <= dx) { err += dx; y += sy; }
    }
}

void ToolbarSurface::DrawRectOutline(int x, int y, int w, int h, int32_t colour)
{
    DrawLine(x, y, x + w, y, colour);
    DrawLine(x + w, y, x + w, y + h, colour);
    DrawLine(x + w, y + h, x, y + h, colour);
    DrawLine(x, y + h, x, y, colour);
}

void ToolbarSurface::DrawPolygon(const std::vector<QPoint> &points, int32_t colour, int stockBrush)
{
    if (points.size() < 2)
        return;
    for (size_t i = 0; i < points.size(); ++i) {
        const QPoint &a = points[i];
        const QPoint &b = points[(i + 1) % points.size()];
        DrawLine(a.x(), a.y(), b.x(), b.y(), colour);
    }
    const int32_t fill = stockBrush == 4 ? 0 : 0xFFFFFF;
    // Region fill: a pixel belongs when its centre is inside (even-odd).
    int minY = points[0].y(), maxY = minY;
    for (const QPoint &p : points) {
        minY = std::min(minY, p.y());
        maxY = std::max(maxY, p.y());
    }
    for (int py = minY; py < maxY; ++py) {
        const double cy = py + 0.5;
        std::vector<double> xs;
        for (size_t i = 0; i < points.size(); ++i) {
            const QPoint &a = points[i];
            const QPoint &b = points[(i + 1) % points.size()];
            if ((a.y() <= cy) != (b.y() <= cy))
                xs.push_back(a.x() + (cy - a.y()) * (b.x() - a.x()) / double(b.y() - a.y()));
        }
        std::sort(xs.begin(), xs.end());
        for (size_t k = 0; k + 1 < xs.size(); k += 2)
            for (int px = static_cast<int>(std::ceil(xs[k] - 0.5)); px + 0.5 < xs[k + 1]; ++px)
                SetPixel(px, py, fill);
    }
}

void ToolbarSurface::FillVerticalGradient(int32_t top, int32_t bottom, int x1, int y1, int x2, int y2)
{
    for (int i = 0; i <= y2; ++i)
        DrawLine(x1, y1 + i, x2, y1 + i, lerp(top, bottom, i, y2));
}

void ToolbarSurface::DrawGradient(int32_t start, int32_t end, int x1, int y1, int x2, int y2, bool vertical)
{
    if (vertical) {
        for (int i = 1; i <= y2 - 1; ++i)
            DrawLine(x1, y1 + i, x2, y1 + i, lerp(start, end, i, y2));
    } else {
        for (int i = 1; i <= x2 - 1; ++i)
            DrawLine(x1 + i, y1, x1 + i, y2, lerp(start, end, i, x2));
    }
}

void ToolbarSurface::DrawGradCilinder(int32_t colour1, int32_t colour2, int x1, int y1, int x2, int y2,
                                      bool vertical)
{
    // First part from colour1 to colour2, then back, split at 1 / 2.01.
    if (vertical) {
        const int span = y2 - y1;
        const int mid = y1 + RoundEven(span / 2.01);
        for (int y = y1; y < mid; ++y)
            DrawLine(x1, y, x2, y, lerp(colour1, colour2, y - y1, std::max(1, mid - y1)));
        for (int y = mid; y < y2; ++y)
            DrawLine(x1, y, x2, y, lerp(colour2, colour1, y - mid, std::max(1, y2 - mid)));
    } else {
        const int span = x2 - x1;
        const int mid = x1 + RoundEven(span / 2.01);
        for (int x = x1; x < mid; ++x)
            DrawLine(x, y1, x, y2, lerp(colour1, colour2, x - x1, std::max(1, mid - x1)));
        for (int x = mid; x < x2; ++x)
            DrawLine(x, y1, x, y2, lerp(colour2, colour1, x - mid, std::max(1, x2 - mid)));
    }
}

void ToolbarSurface::DrawFace(int32_t colour1, int32_t colour2, int left, int top, int right, int bottom,
                              jcGradConst mode, bool border, int32_t borderColour)
{
    switch (mode) {
    case VerticalGradient:
        DrawGradient(colour2, colour1, left, top, right, bottom, true);
        break;
    case HorizontalGradient:
        DrawGradient(colour2, colour1, left, top, right, bottom, false);
        break;
    case VCilinderGradient:
        DrawGradCilinder(colour1, colour2, left, top, right, bottom, true);
        break;
    case HCilinderGradient:
        DrawGradCilinder(colour1, colour2, left, top, right, bottom, false);
        break;
    }
    if (border)
        DrawRectOutline(left, top, right - left, bottom - top, borderColour);
}

void ToolbarSurface::DrawDropdownArrow(int x, int y)
{
    DrawPolygon({QPoint(x, y), QPoint(x + 6, y), QPoint(x + 3, y + 3)}, 0, 4);
}

void ToolbarSurface::DrawCaption(const QString &text, int32_t colour, int left, int top, int right,
                                 int bottom, const StdFont &font, bool centred, CaptionCache *cache)
{
    if (!m_img || text.isEmpty() || right <= left || bottom <= top)
        return;
    if (cache) {
        const QImage &mask = cache->Mask(text, font, right - left, bottom - top, centred);
        const QRgb c = OleToQRgb(TranslateOleColor(colour) & 0xFFFFFF);
        const int y0 = std::max(0, -top), y1 = std::min(mask.height(), m_img->height() - top);
        const int x0 = std::max(0, -left), x1 = std::min(mask.width(), m_img->width() - left);
        for (int y = y0; y < y1; ++y) {
            const uchar *m = mask.constScanLine(y);
            QRgb *row = reinterpret_cast<QRgb *>(m_img->scanLine(top + y));
            for (int x = x0; x < x1; ++x)
                if (m[x])
                    row[left + x] = c;
        }
        return;
    }
    QPainter p(m_img);
    p.setFont(font.toQFont());
    p.setPen(QColor(OleToQRgb(TranslateOleColor(colour) & 0xFFFFFF)));
    const int flags = Qt::TextSingleLine | Qt::AlignVCenter | (centred ? Qt::AlignHCenter : Qt::AlignLeft);
    p.drawText(QRect(left, top, right - left, bottom - top), flags, text);
}

void ToolbarSurface::PaintPictureEx(int x, int y, int cx, int cy, const StdPicture *picture,
                                    int32_t maskColour, int32_t tint, bool silhouette, bool grayscale,
                                    bool blend, bool useMask)
{
    if (!m_img || !picture || cx == 0 || cy == 0)
        return;
    if (cx < 0)
        cx = RoundEven(clsMemDC::HM2Pix(picture->widthHimetric()));
    if (cy < 0)
        cy = RoundEven(clsMemDC::HM2Pix(picture->heightHimetric()));
    if (cx <= 0 || cy <= 0)
        return;
    const int32_t mask = TranslateOleColor(maskColour) & 0xFFFFFF;
    QImage src;
    if (picture->type() == StdPicture::Bitmap) {
        src = picture->image().convertToFormat(QImage::Format_RGB32)
                  .scaled(cx, cy, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    } else {
        src = QImage(cx, cy, QImage::Format_RGB32);
        src.fill(OleToQRgb(mask));
        QPainter p(&src);
        p.drawImage(QRect(0, 0, cx, cy), picture->image());
    }
    const int32_t tintRgb = tint < 0 ? -1 : (TranslateOleColor(tint) & 0xFFFFFF);
    for (int j = 0; j < cy; ++j) {
        for (int i = 0; i < cx; ++i) {
            const int dx = x + i, dy = y + j;
            if (dx < 0 || dy < 0 || dx >= m_img->width() || dy >= m_img->height())
                continue;
            const QRgb s = src.pixel(i, j);
            const int32_t sc = QRgbToOle(s);
            if (useMask && sc == mask)
                continue;
            int32_t out;
            if (tintRgb < 0) {
                if (grayscale) {
                    const int g = std::clamp(RoundEven(RoundEven(0.3 * qRed(s)) + 0.59 * qGreen(s)
                                                       + 0.11 * qBlue(s)), 0, 255);
                    out = OleRgb(g, g, g);
                } else if (blend) {
                    const QRgb d = m_img->pixel(dx, dy);
                    out = OleRgb((2 * qRed(s) + qRed(d)) / 3, (2 * qGreen(s) + qGreen(d)) / 3,
                                 (2 * qBlue(s) + qBlue(d)) / 3);
                } else {
                    out = sc;
                }
            } else {
                if (silhouette && qRed(s) + qGreen(s) + qBlue(s) > 384)
                    continue;
                out = tintRgb;
            }
            SetPixel(dx, dy, out);
        }
    }
}

} // namespace qvtoolbar
