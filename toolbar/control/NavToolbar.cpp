#include "toolbar/control/NavToolbar.h"

#include "toolbar/control/ToolbarColors.h"
#include "toolbar/drawing/ToolbarSurface.h"
#include "toolbar/drawing/clsToolTip.h"

#include <QPainter>
#include <QResizeEvent>

#include <algorithm>

namespace qvtoolbar {

namespace {
constexpr int32_t kWhite = 0xFFFFFF;
constexpr int32_t kBlack = 0;
// The pen colour handed over without translation: low 24 bits as R, G, B.
constexpr int32_t kUntranslatedPen = 0x8000000A & 0xFFFFFF;
} // namespace

NavToolbar::NavToolbar(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_tip = new clsToolTip(this);
    ApplyThemeColors();
}

NavToolbar::~NavToolbar()
{
    m_initialised = false;
    // The tip watches this widget; end that before the widget goes away.
    delete m_tip;
    m_tip = nullptr;
}

void NavToolbar::InitProperties()
{
    m_initialised = true;
}

int32_t NavToolbar::TwipsWidth() const
{
    return PixelsToTwips(width());
}

int32_t NavToolbar::TwipsHeight() const
{
    return PixelsToTwips(height());
}

void NavToolbar::SetTwipsSize(int32_t w, int32_t h)
{
    resize(TwipsToPixels(w), TwipsToPixels(h));
    if (!isVisible())
        ControlResize(); // a hidden widget gets its resize event only when shown
}

void NavToolbar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (!m_inResize)
        ControlResize();
}

void NavToolbar::ControlResize()
{
    if (!m_initialised || m_inResize)
        return;
    m_inResize = true;
    const int32_t maxH = m_buttons.MaxItemHeight();
    int32_t h = TwipsHeight();
    int32_t w = TwipsWidth();
    if (h < maxH)
        h = maxH;
    if (w < 400)
        w = 400;
    if (h < 435)
        h = 435;
    if (m_autoHeight == 1)
        h = maxH;
    const QSize want(TwipsToPixels(w), TwipsToPixels(h));
    if (want != size())
        resize(want);
    m_inResize = false;
    Calculate_Size(1);
    InitialGradToolbar();
    Redraw();
}

void NavToolbar::AutoResize(int16_t plSize)
{
    m_autoHeight = plSize;
    ControlResize();
}

void NavToolbar::Calculate_Size(int16_t &piIndex, bool &blnSize)
{
    (void)blnSize;
    const int32_t H = height();
    const int32_t count = m_buttons.Count();
    if (count == 0)
        return;
    if (piIndex < 1)
        piIndex = 1;
    if (piIndex == 1) {
        ItemRef first = m_buttons.Item(1);
        first->SetiLeft(9);
        first->SetBounds(9, 0, 9 + first->iWidth(), H);
        piIndex = 2;
    }
    for (int32_t i = piIndex; i <= count; ++i) {
        ItemRef prev = m_buttons.Item(i - 1);
        ItemRef cur = m_buttons.Item(i);
        const int32_t left = int32_t(prev->iLeft()) + prev->iWidth();
        // The position is a 16-bit value; a bar this long cannot be shown.
        cur->SetiLeft(static_cast<int16_t>(std::clamp(left, -32768, 32767)));
        cur->SetBounds(cur->iLeft(), 0, cur->iLeft() + cur->iWidth(), H);
    }
}

void NavToolbar::Calculate_Size(int16_t piIndex)
{
    bool size = false;
    Calculate_Size(piIndex, size);
}

int16_t NavToolbar::AddButton(BtnTypeCont m_Type, const QString &m_Caption, const QString &m_Key,
                              PictureRef m_Icon, int16_t m_IconSize, AlignCont m_BtnAlignment,
                              const QString &m_Tooltip, int32_t m_ForeColor, FontRef m_Font,
                              BtnStyleCont m_Style, BtnStateCont m_State, bool m_UseMaskColor,
                              int32_t m_MaskColor)
{
    ItemRef b = m_buttons.AddItemEx(m_Caption, m_Key, nullptr, true);
    b->SetbtnType(m_Type);
    if (m_Font)
        b->SetFont(m_Font);
    b->SetPicture(m_Icon);
    b->SetIconSize(m_IconSize);
    b->SetAlignment(m_BtnAlignment);
    b->SetTooltipText(m_Tooltip);
    b->SetStyle(m_Style);
    b->SetState(m_State);
    b->SetForeColor(m_ForeColor);
    b->SetUseMaskColor(m_UseMaskColor);
    b->SetmaskColor(m_MaskColor);
    const int16_t count = static_cast<int16_t>(m_buttons.Count());
    if (m_userMode) {
        InitialGradToolbar();
        Redraw();
    }
    return count;
}

int16_t NavToolbar::MoveButton(int16_t Index, MoveConst &lDirection)
{
    int16_t target = 0;
    if (lDirection == ToLeft) {
        if (Index <= 1)
            return 0;
        target = Index - 1;
    } else if (lDirection == ToRight) {
        if (Index >= m_buttons.Count())
            return 0;
        target = Index + 1;
    } else {
        return 0;
    }
    ItemRef at = m_buttons.Item(int32_t(Index));
    ItemRef other = m_buttons.Item(int32_t(target));
    if (!at || !other)
        return 0;
    clsToolbarItem scratch;
    clsItems::CopyItem(&scratch, other.get());
    clsItems::CopyItem(other.get(), at.get());
    clsItems::CopyItem(at.get(), &scratch);
    // The content moved, so the keys the collection finds it by move too.
    m_buttons.SwapKeys(Index, target);
    return target;
}

void NavToolbar::ApplyThemeColors()
{
    if (m_themeColor == Autodetect)
        m_colors.DetectThemeColors(CurrentSchemeName());
    else
        m_colors.SetThemeColors(m_themeColor);
}

void NavToolbar::PropertyChanged(const QString &name)
{
    m_changed.append(name);
}

void NavToolbar::SetThemeColor(ThemeConst theme)
{
    if (theme == m_themeColor)
        return;
    m_themeColor = theme;
    ApplyThemeColors();
    InitialGradToolbar();
    Redraw();
    PropertyChanged(QStringLiteral("ThemeColor"));
}

void NavToolbar::SetSkinID(const QString &skin)
{
    m_skinID = skin;
    PropertyChanged(QStringLiteral("SkinID"));
    m_tip->Destroy();
    m_tip->SetStyle(0);
    m_tip->SetTipText(QStringLiteral("abcdeft"));
    m_tip->SetVisibleTime(2000);
    m_tip->SetDelayTime(300);
    m_tip->Create(this);
}

void NavToolbar::InitialGradToolbar()
{
    const int w = std::max(0, width());
    const int h = std::max(0, height());
    if (m_surface.size() != QSize(w, h))
        m_surface = QImage(w, h, QImage::Format_RGB32);
    if (m_surface.isNull())
        return;
    const int32_t bg = TranslateOleColor(m_ambientBackColor);
    m_surface.fill(OleToQRgb(bg == -1 ? 0 : bg));
    ToolbarSurface s(&m_surface);
    s.FillVerticalGradient(m_colors.BarLight, m_colors.BarDark, 0, 0, w, h);
    s.DrawLine(0, h - 1, w, h - 1, m_colors.SeparatorColor);
    DrawGrip();
    DrawChevron(m_colors.ChevronTop, m_colors.ChevronBottom);
    if (!m_inPaint)
        update();
}

void NavToolbar::DrawGrip()
{
    if (!m_initialised || m_surface.isNull())
        return;
    const int H = height();
    ToolbarSurface s(&m_surface);
    s.FillVerticalGradient(m_colors.BarLight, m_colors.BarDark, 0, 0, 9, H);
    s.DrawLine(2, H - 1, 9, H - 1, m_colors.SeparatorColor);
    const int32_t bg = TranslateOleColor(m_ambientBackColor) & 0xFFFFFF;
    s.SetPixel(0, 0, bg);
    s.SetPixel(0, H - 1, bg);
    s.SetPixel(0, H - 2, bg);
    s.SetPixel(1, H - 1, bg);
    const int32_t hi = BlendColors(kWhite, m_colors.BarLight);
    s.SetPixel(1, 0, hi);
    s.SetPixel(0, 1, hi);
    s.SetPixel(1, H - 3, BlendColors(m_colors.BorderColor, m_colors.BarDark));
    const int32_t lo = BlendColors(bg, m_colors.BarDark);
    s.SetPixel(0, H - 3, lo);
    s.SetPixel(1, H - 2, lo);
    const int n = RoundEven((H - H * 0.4) / 2.0 / 2.0);
    const int start = RoundEven((H - (4.0 * n - 4) - 1) / 2.0);
    for (int i = 0; i < n; ++i) {
        const int y = start + 4 * i;
        s.DrawRectOutline(5, y, 1, 1, kWhite);
        s.DrawRectOutline(4, y - 1, 1, 1, m_colors.SeparatorColor);
    }
    if (!m_inPaint)
        update();
}

void NavToolbar::DrawChevron(int32_t top, int32_t bottom)
{
    if (!m_initialised || m_surface.isNull())
        return;
    const int H = height();
    const int xl = RoundEven(width() - 13.0);
    ToolbarSurface s(&m_surface);
    s.FillVerticalGradient(m_colors.BarLight, m_colors.BarDark, xl, 0, xl + 2, H);
    s.FillVerticalGradient(top, bottom, xl + 2, 0, xl + 13, H);
    const int32_t bg = TranslateOleColor(m_ambientBackColor) & 0xFFFFFF;
    s.SetPixel(xl + 12, 0, bg);
    s.SetPixel(xl + 12, H - 1, bg);
    s.SetPixel(xl + 11, 0, BlendColors(bg, top));
    s.SetPixel(xl + 12, 1, BlendColors(bg, top));
    s.SetPixel(xl, 0, BlendColors(m_colors.BarLight, top));
    s.SetPixel(xl + 1, 1, BlendColors(m_colors.BarLight, top));
    s.SetPixel(xl + 1, 0, top);
    s.SetPixel(xl + 11, H - 1, BlendColors(bg, bottom));
    s.SetPixel(xl + 12, H - 2, BlendColors(bg, bottom));
    s.SetPixel(xl, H - 1, BlendColors(m_colors.BarDark, bottom));
    s.SetPixel(xl + 1, H - 2, BlendColors(m_colors.BarDark, bottom));
    s.SetPixel(xl + 1, H - 1, bottom);
    s.DrawPolygon({QPoint(xl + 5, H - 7), QPoint(xl + 9, H - 7), QPoint(xl + 7, H - 5)}, kWhite, 0);
    s.DrawPolygon({QPoint(xl + 4, H - 8), QPoint(xl + 8, H - 8), QPoint(xl + 6, H - 6)}, kBlack, 4);
    s.DrawLine(xl + 4, H - 11, xl + 9, H - 11, kBlack);
    s.DrawLine(xl + 5, H - 10, xl + 10, H - 10, kWhite);
    for (int k = 0; k < 2; ++k) {
        const int x = xl + 4 + 4 * k;
        s.DrawLine(x, 5, x, 8, kBlack);
        s.SetPixel(x + 1, 6, kBlack);
        s.SetPixel(x + 1, 7, kWhite);
        s.SetPixel(x + 2, 7, kWhite);
        s.SetPixel(x + 1, 8, kWhite);
    }
    if (!m_inPaint)
        update();
}

void NavToolbar::DrawSeparator(const clsToolbarItem &item)
{
    if (m_surface.isNull())
        return;
    const int H = height();
    const int x = item.iLeft();
    ToolbarSurface s(&m_surface);
    s.DrawLine(x + 1, 5, x + 1, H - 7, m_colors.SeparatorColor);
    s.DrawLine(x + 2, 6, x + 2, H - 6, kWhite);
}

NavToolbar::ContentLayout NavToolbar::LayoutContent(const clsToolbarItem &item)
{
    ContentLayout c;
    const int L = item.BoundsLeft();
    const int T = item.BoundsTop();
    const int B = item.BoundsBottom();
    const int I = item.IconSize();
    const int LTW = item.LayoutTextWidth();
    const int TH = item.TextHeightPx();
    const bool pic = item.GetPicture() != nullptr;
    const bool cap = !item.Caption().isEmpty();
    auto setCap = [&c](int l, int t, int r, int b) {
        c.hasCaption = true;
        c.capLeft = l;
        c.capTop = t;
        c.capRight = r;
        c.capBottom = b;
    };
    if (!pic) {
        setCap(L + 4, T + 4, L + 4 + LTW, T + B - 4);
        return c;
    }
    if (!cap) {
        c.hasIcon = true;
        c.iconX = L + 4;
        c.iconY = RoundEven((B - I) / 2.0 + T);
        return c;
    }
    switch (item.Alignment()) {
    case IconLeftTextRight:
        c.hasIcon = true;
        c.iconX = L + 4;
        c.iconY = RoundEven((B - I) / 2.0 + T);
        setCap(L + I + 8, T + 4, L + I + 12 + LTW, T + B - 4);
        break;
    case IconRightTextLeft:
        c.hasIcon = true;
        c.iconX = L + LTW + 8;
        c.iconY = RoundEven((B - I) / 2.0 + T);
        setCap(L + 4, T + 4, L + 4 + LTW, T + B - 4);
        break;
    case IconTopTextBottom:
        c.hasIcon = true;
        c.iconX = RoundEven((LTW - I) / 2.0 + L + 4);
        c.iconY = RoundEven((B - I - TH - 4) / 2.0 + T);
        setCap(L + 4, T + I + 8, L + 4 + LTW, T + B - 4);
        break;
    case IconBottomTextTop: {
        // Each coordinate is rounded as a whole: N(x + odd) differs from N(x) + odd.
        const double top = (B - I - TH - 4) / 2.0 + T;
        c.hasIcon = true;
        c.iconX = RoundEven((LTW - I) / 2.0 + L + 4);
        c.iconY = RoundEven(top + TH + 4);
        setCap(L + 4, RoundEven(top), L + 4 + LTW, RoundEven(top + TH));
        break;
    }
    }
    return c;
}

void NavToolbar::DrawButton(clsToolbarItem *item)
{
    if (!item || m_surface.isNull())
        return;
    ToolbarSurface s(&m_surface);
    const int L = item->BoundsLeft();
    const int R = item->BoundsRight();
    const int H = height();
    const double S = H;
    const int fl = L + 2, ft = 2, fr = R - 4, fb = RoundEven(S - 4);
    const bool dropdown = item->Style() == DropdownButton;
    auto restore = [&] {
        s.DrawFace(m_colors.BarDark, m_colors.BarLight, L, 0, R + 1, RoundEven(S - 2), VerticalGradient,
                   false, 0);
    };
    switch (item->State()) {
    case STA_OVER:
        s.DrawFace(m_colors.OverBottom, m_colors.OverTop, fl, ft, fr, fb, VerticalGradient, true,
                   m_colors.BorderColor);
        if (dropdown)
            s.DrawLine(R - 17, 2, R - 17, H - 3, m_colors.SeparatorColor);
        break;
    case STA_PRESSED:
        s.DrawFace(m_colors.PressedBottom, m_colors.PressedTop, fl, ft, fr, fb, VerticalGradient, true, kBlack);
        if (dropdown)
            s.DrawLine(R - 17, 2, R - 17, H - 3, kBlack);
        break;
    case STA_OVERDOWN:
        if (dropdown)
            s.DrawFace(BlendColors(m_colors.BarLight, kWhite), BlendColors(m_colors.BarDark, kWhite), fl, ft, fr,
                       fb, VerticalGradient, true, kBlack);
        else if (item->Style() == CheckButton)
            s.DrawFace(m_colors.PressedTop, m_colors.PressedBottom, fl, ft, fr, fb, VerticalGradient, true,
                       kBlack);
        break;
    case STA_SELECTED:
        if (dropdown)
            s.DrawFace(m_colors.BarLight, m_colors.BarDark, fl, ft, fr, fb, VerticalGradient, true,
                       kUntranslatedPen);
        else if (item->Style() == CheckButton)
            s.DrawFace(m_colors.PressedBottom, m_colors.PressedTop, fl, ft, fr, fb, VerticalGradient, true,
                       kBlack);
        break;
    default:
        restore();
        break;
    }
    const ContentLayout c = LayoutContent(*item);
    if (c.hasCaption) {
        const int32_t colour = item->Enabled() ? (TranslateOleColor(item->ForeColor()) & 0xFFFFFF)
                                               : OleRgb(128, 128, 128);
        const FontRef font = item->Font();
        s.DrawCaption(item->Caption(), colour, c.capLeft, c.capTop, c.capRight, c.capBottom,
                      font ? *font : StdFont(), true);
    }
    if (c.hasIcon) {
        const PictureRef img = item->Image();
        s.PaintPictureEx(c.iconX, c.iconY, item->IconSize(), item->IconSize(), img.get(), item->maskColor(), -1,
                         false, !item->Enabled(), false, item->UseMaskColor());
    }
    if (dropdown)
        s.DrawDropdownArrow(R - 14, RoundEven((H - 2) / 2.0));
    if (!m_inPaint)
        update();
}

void NavToolbar::Redraw(bool &blnClear, int32_t &iFrom, int32_t &iTo)
{
    (void)blnClear;
    if (!m_initialised)
        return;
    InitialGradToolbar();
    DrawGrip();
    DrawChevron(m_colors.ChevronTop, m_colors.ChevronBottom);
    const int32_t count = m_buttons.Count();
    if (count > 0) {
        if (iFrom < 1)
            iFrom = 1;
        if (iTo == -1)
            iTo = count;
        if (iTo > count)
            iTo = count;
        for (int32_t i = iFrom; i <= iTo; ++i) {
            ItemRef item = m_buttons.Item(i);
            if (!item || !item->Visible())
                continue;
            if (item->btnType() == Separator) {
                DrawSeparator(*item);
            } else {
                item->SetState(item->Style() == CheckButton && item->Value() ? STA_SELECTED : STA_NORMAL);
                DrawButton(item.get());
            }
        }
    }
    if (!m_inPaint)
        update();
}

void NavToolbar::Redraw()
{
    bool clear = false;
    int32_t from = 1;
    int32_t to = -1;
    Redraw(clear, from, to);
}

void NavToolbar::paintEvent(QPaintEvent *)
{
    m_inPaint = true;
    if (m_userMode)
        Redraw();
    m_inPaint = false;
    QPainter p(this);
    if (!m_surface.isNull())
        p.drawImage(0, 0, m_surface);
}

} // namespace qvtoolbar
