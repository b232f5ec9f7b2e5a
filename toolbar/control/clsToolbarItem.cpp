#include "toolbar/control/clsToolbarItem.h"

#include "platform/com/RuntimeError.h"
#include "toolbar/control/ToolbarColors.h"
#include "toolbar/drawing/clsMemDC.h"

#include <algorithm>
#include <limits>

namespace qvtoolbar {

namespace {

clsToolbarItem::TextMeasurer &measurer()
{
    static clsToolbarItem::TextMeasurer m;
    return m;
}

QSize measure(const QString &text, const StdFont &font)
{
    if (measurer())
        return measurer()(text, font);
    clsMemDC dc;
    dc.Init(0, 0);
    dc.SetFont(font);
    return QSize(dc.TextWidth(text), dc.TextHeight(text));
}

[[noreturn]] void overflow()
{
    throw com::RuntimeError(com::errors::Overflow, QStringLiteral("qvToolbar"), QStringLiteral("溢出"));
}

int16_t to16(int32_t v)
{
    if (v < std::numeric_limits<int16_t>::min() || v > std::numeric_limits<int16_t>::max())
        overflow();
    return static_cast<int16_t>(v);
}

bool isVerticalAlign(AlignCont a)
{
    return a == IconTopTextBottom || a == IconBottomTextTop;
}

} // namespace

void clsToolbarItem::SetTextMeasurer(TextMeasurer m)
{
    measurer() = std::move(m);
}

clsToolbarItem::clsToolbarItem()
    : m_font(std::make_shared<StdFont>())
{
}

void clsToolbarItem::SetbtnType(BtnTypeCont v)
{
    const Size16 s = ComputeSize(m_textWidth, m_textHeight, m_alignment, m_style, v, m_iconSize,
                                 m_picture != nullptr, !m_caption.isEmpty());
    m_btnType = v;
    m_iWidth = s.w;
    m_iHeight = s.h;
}

void clsToolbarItem::SetStyle(BtnStyleCont v)
{
    const Size16 s = ComputeSize(m_textWidth, m_textHeight, m_alignment, v, m_btnType, m_iconSize,
                                 m_picture != nullptr, !m_caption.isEmpty());
    m_style = v;
    m_iWidth = s.w;
    m_iHeight = s.h;
}

void clsToolbarItem::SetAlignment(AlignCont v)
{
    const Size16 s = ComputeSize(m_textWidth, m_textHeight, v, m_style, m_btnType, m_iconSize,
                                 m_picture != nullptr, !m_caption.isEmpty());
    m_alignment = v;
    m_iWidth = s.w;
    m_iHeight = s.h;
}

void clsToolbarItem::SetCaption(const QString &v)
{
    const QSize ext = measure(v, m_font ? *m_font : StdFont());
    const int16_t tw = to16(ext.width() + 4);
    const int16_t th = to16(ext.height());
    const Size16 s = ComputeSize(tw, th, m_alignment, m_style, m_btnType, m_iconSize,
                                 m_picture != nullptr, !v.isEmpty());
    m_caption = v;
    m_textWidth = tw;
    m_textHeight = th;
    m_iWidth = s.w;
    m_iHeight = s.h;
}

void clsToolbarItem::SetIconSize(int16_t v)
{
    if (!m_picture) {
        m_iconSize = v;
        return;
    }
    const Size16 s = ComputeSize(m_textWidth, m_textHeight, m_alignment, m_style, m_btnType, v,
                                 true, !m_caption.isEmpty());
    m_iconSize = v;
    m_iWidth = s.w;
    m_iHeight = s.h;
}

void clsToolbarItem::SetFont(FontRef v)
{
    m_font = std::move(v);
    RecalcSize();
}

void clsToolbarItem::SetPicture(PictureRef picture)
{
    const Size16 s = ComputeSize(m_textWidth, m_textHeight, m_alignment, m_style, m_btnType, m_iconSize,
                                 picture != nullptr, !m_caption.isEmpty());
    m_picture = std::move(picture);
    m_iWidth = s.w;
    m_iHeight = s.h;
}

void clsToolbarItem::SetBounds(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    m_bLeft = left;
    m_bTop = top;
    m_bRight = right;
    m_bBottom = bottom;
}

QRect clsToolbarItem::GetBounds() const
{
    return QRect(QPoint(m_bLeft, m_bTop), QPoint(m_bRight, m_bBottom));
}

int32_t clsToolbarItem::LayoutTextWidth() const
{
    if (isVerticalAlign(m_alignment))
        return std::max<int32_t>(m_textWidth, m_iconSize);
    return m_textWidth;
}

void clsToolbarItem::RecalcSize()
{
    const Size16 s = ComputeSize(m_textWidth, m_textHeight, m_alignment, m_style, m_btnType, m_iconSize,
                                 m_picture != nullptr, !m_caption.isEmpty());
    m_iWidth = s.w;
    m_iHeight = s.h;
}

clsToolbarItem::Size16 clsToolbarItem::ComputeSize(int32_t tw, int32_t th, AlignCont align,
                                                   BtnStyleCont style, BtnTypeCont type,
                                                   int16_t iconSize, bool hasPicture,
                                                   bool hasCaption) const
{
    if (type == Separator)
        return {6, 29};
    const int32_t I = iconSize;
    const int32_t ltw = isVerticalAlign(align) ? std::max(tw, I) : tw;
    int32_t w = 0;
    int32_t h = 0;
    if (!hasPicture && !hasCaption) {
        w = 24;
        h = 24;
    } else if (!hasPicture) {
        w = ltw + 8;
        h = th + 8;
    } else if (!hasCaption) {
        w = I + 8;
        h = I + 8;
    } else if (align == IconLeftTextRight || align == IconRightTextLeft) {
        w = ltw + I + 12;
        h = std::max(I, th) + 8;
    } else if (isVerticalAlign(align)) {
        w = std::max(ltw, I) + 8;
        h = th + I + 13;
    }
    if (style == DropdownButton)
        w += 15;
    return {to16(w), to16(h)};
}

PictureRef clsToolbarItem::Image() const
{
    if (!m_picture)
        return nullptr;
    if (m_picture->type() != StdPicture::Bitmap)
        return m_picture;
    clsMemDC dc;
    if (!dc.Init(m_iconSize, m_iconSize))
        return nullptr;
    dc.SetBackColor(m_maskColor);
    const int32_t sw = RoundEven(clsMemDC::HM2Pix(m_picture->widthHimetric()));
    const int32_t sh = RoundEven(clsMemDC::HM2Pix(m_picture->heightHimetric()));
    dc.PaintBitmap(m_picture->image(), 0, 0, m_iconSize, m_iconSize, 0, 0, sw, sh);
    return dc.Image();
}

} // namespace qvtoolbar
