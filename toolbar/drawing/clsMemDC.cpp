#include "toolbar/drawing/clsMemDC.h"

#include "toolbar/control/ToolbarColors.h"

#include <QFontMetrics>
#include <QPainter>

namespace qvtoolbar {

bool clsMemDC::Init(int32_t width, int32_t height)
{
    if (m_created)
        Destroy();
    if (width < 0 || height < 0)
        return false;
    m_width = width;
    m_height = height;
    m_surface = QImage(width, height, QImage::Format_RGB32);
    if (width > 0 && height > 0) {
        if (m_surface.isNull())
            return false;
        m_surface.fill(Qt::black); // a fresh compatible bitmap is black
    }
    m_created = true;
    return true;
}

void clsMemDC::Destroy()
{
    m_surface = QImage();
    m_font.reset();
    m_created = false;
}

void clsMemDC::SetBackColor(int32_t oleColor)
{
    if (!m_created || m_surface.isNull())
        return;
    const int32_t c = TranslateColor(oleColor);
    if (c == -1)
        return;
    m_surface.fill(OleToQRgb(c));
}

void clsMemDC::SetFont(const StdFont &font)
{
    if (!m_created)
        return;
    m_font = font.toQFont();
}

int32_t clsMemDC::TextWidth(const QString &text) const
{
    if (!m_created)
        return 0;
    const QFontMetrics fm(m_font.value_or(StdFont().toQFont()));
    return fm.horizontalAdvance(text);
}

int32_t clsMemDC::TextHeight(const QString &text) const
{
    if (!m_created)
        return 0;
    (void)text; // one-line extent: the font's cell height
    const QFontMetrics fm(m_font.value_or(StdFont().toQFont()));
    return fm.height();
}

double clsMemDC::HM2Pix(double himetric)
{
    return himetric * 1440.0 / 2540.0 / kTwipsPerPixel;
}

void clsMemDC::PaintBitmap(const QImage &source, int32_t dx, int32_t dy, int32_t dw, int32_t dh,
                           int32_t sx, int32_t sy, int32_t sw, int32_t sh)
{
    if (!m_created || m_surface.isNull() || source.isNull())
        return;
    QPainter p(&m_surface);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.drawImage(QRect(dx, dy, dw, dh), source, QRect(sx, sy, sw, sh));
}

PictureRef clsMemDC::Image() const
{
    if (!m_created)
        return nullptr;
    return std::make_shared<StdPicture>(StdPicture::Bitmap, m_surface.copy());
}

int32_t clsMemDC::TranslateColor(int32_t oleColor)
{
    return TranslateOleColor(oleColor);
}

} // namespace qvtoolbar
