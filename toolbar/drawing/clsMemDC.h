#pragma once

#include "toolbar/QvToolbarExport.h"
#include "toolbar/control/StdFont.h"
#include "toolbar/control/StdPicture.h"

#include <QFont>
#include <QImage>
#include <QString>

#include <cstdint>
#include <optional>

namespace qvtoolbar {

// Off-screen drawing surface used by the button model to measure captions
// and to re-render bitmaps as square icons.
class QVTOOLBAR_EXPORT clsMemDC final
{
public:
    clsMemDC() = default;
    ~clsMemDC() { Destroy(); }
    clsMemDC(const clsMemDC &) = delete;
    clsMemDC &operator=(const clsMemDC &) = delete;

    // Creates the surface (a 0 x 0 surface is usable for measuring);
    // returns true when created.
    bool Init(int32_t width, int32_t height);
    bool IsCreated() const { return m_created; }
    void Destroy();

    int32_t Width() const { return m_width; }
    int32_t Height() const { return m_height; }

    // Fills the surface with the translated colour.
    void SetBackColor(int32_t oleColor);
    void SetFont(const StdFont &font);

    // Extent of the text in the selected font; 0 when not created.
    int32_t TextWidth(const QString &text) const;
    int32_t TextHeight(const QString &text) const;

    // HIMETRIC to pixels at the screen's 15 twips per pixel.
    static double HM2Pix(double himetric);

    // Stretch-copies the region (sx, sy, sw, sh) of the image onto
    // (dx, dy, dw, dh) of the surface, without smoothing.
    void PaintBitmap(const QImage &source, int32_t dx, int32_t dy, int32_t dw, int32_t dh,
                     int32_t sx, int32_t sy, int32_t sw, int32_t sh);

    // A new bitmap picture holding a copy of the surface; null when not created.
    PictureRef Image() const;

    static int32_t TranslateColor(int32_t oleColor);

private:
    bool m_created = false;
    int32_t m_width = 0;
    int32_t m_height = 0;
    QImage m_surface;
    std::optional<QFont> m_font;
};

} // namespace qvtoolbar
