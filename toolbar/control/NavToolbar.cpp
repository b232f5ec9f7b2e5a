#include "toolbar/control/NavToolbar.h"

#include "platform/com/RuntimeError.h"
#include "platform/com/Variant.h"
#include "toolbar/control/NavToolbarAccessible.h"
#include "toolbar/control/NavToolbarIds.h"
#include "toolbar/control/PropertyBag.h"
#include "toolbar/control/ToolbarColors.h"
#include "toolbar/control/clsState.h"
#include "toolbar/control/clsToolbarItemDispatch.h"
#include "toolbar/drawing/CaptionCache.h"
#include "toolbar/drawing/ToolbarSurface.h"
#include "toolbar/drawing/WindowMessages.h"
#include "toolbar/drawing/clsSubclass.h"
#include "toolbar/drawing/clsToolTip.h"

#include <QAccessible>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>

#include <algorithm>
#include <exception>

namespace qvtoolbar {

namespace {
constexpr int32_t kWhite = 0xFFFFFF;
constexpr int32_t kBlack = 0;
// The pen colour handed over without translation: low 24 bits as R, G, B.
constexpr int32_t kUntranslatedPen = 0x8000000A & 0xFFFFFF;
} // namespace

NavToolbar::NavToolbar(QWidget *parent)
    : QWidget(parent)
    , m_buttons(std::make_shared<clsItems>())
    , m_ctlState(std::make_unique<clsState>())
    , m_captions(std::make_unique<CaptionCache>())
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Reached with Tab; a click leaves the focus where the user typed.
    setFocusPolicy(Qt::TabFocus);
    // Installing the same factory again changes nothing; it must be there
    // before anyone asks for this control's interface.
    QAccessible::installFactory(&NavToolbarAccessible::Factory);
    // Moves without a pressed button are reported too, as the platform does.
    setMouseTracking(true);
    connect(m_ctlState.get(), &clsState::StateChange, this, &NavToolbar::OnStateChange);
    m_tip = new clsToolTip(this);
    ApplyThemeColors();
}

NavToolbar::~NavToolbar()
{
    m_initialised = false;
    m_parentSubclass.reset();
    m_ownSubclass.reset();
    SetEventSink(nullptr);
    // The tip watches this widget; end that before the widget goes away.
    delete m_tip;
    m_tip = nullptr;
}

void NavToolbar::SetEventSink(IDispatch *sink)
{
    if (sink)
        sink->AddRef();
    if (m_eventSink)
        m_eventSink->Release();
    m_eventSink = sink;
}

void NavToolbar::RequestUpdate()
{
    if (m_inPaint)
        return;
    // A repaint the control asks for after drawing into its surface only
    // shows the surface; the full redraw is for the platform's requests.
    m_selfUpdate = true;
    update();
    NotifyAccessibility();
}

void NavToolbar::NotifyAccessibility()
{
    // A full redraw reports once, at its end.
    if (m_inRedraw || !m_accessibleMade)
        return;
    if (auto *iface = dynamic_cast<NavToolbarAccessible *>(QAccessible::queryAccessibleInterface(this)))
        iface->Sync();
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
    const int32_t maxH = m_buttons->MaxItemHeight();
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
    const int32_t count = m_buttons->Count();
    if (count == 0)
        return;
    if (piIndex < 1)
        piIndex = 1;
    if (piIndex == 1) {
        ItemRef first = m_buttons->Item(1);
        first->SetiLeft(9);
        first->SetBounds(9, 0, 9 + first->iWidth(), H);
        piIndex = 2;
    }
    for (int32_t i = piIndex; i <= count; ++i) {
        ItemRef prev = m_buttons->Item(i - 1);
        ItemRef cur = m_buttons->Item(i);
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
    ItemRef b = m_buttons->AddItemEx(m_Caption, m_Key, nullptr, true);
    b->SetbtnType(m_Type);
    if (m_Font) {
        b->SetFont(m_Font);
        // The caption was measured in the new button's default font.
        b->SetCaption(m_Caption);
    }
    b->SetPicture(m_Icon);
    b->SetIconSize(m_IconSize);
    b->SetAlignment(m_BtnAlignment);
    b->SetTooltipText(m_Tooltip);
    b->SetStyle(m_Style);
    b->SetState(m_State);
    b->SetForeColor(m_ForeColor);
    b->SetUseMaskColor(m_UseMaskColor);
    b->SetmaskColor(m_MaskColor);
    const int16_t count = static_cast<int16_t>(m_buttons->Count());
    if (m_userMode) {
        InitialGradToolbar();
        Redraw();
    } else {
        NotifyAccessibility();
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
        if (Index >= m_buttons->Count())
            return 0;
        target = Index + 1;
    } else {
        return 0;
    }
    ItemRef at = m_buttons->Item(int32_t(Index));
    ItemRef other = m_buttons->Item(int32_t(target));
    if (!at || !other)
        return 0;
    clsToolbarItem scratch;
    clsItems::CopyItem(&scratch, other.get());
    clsItems::CopyItem(other.get(), at.get());
    clsItems::CopyItem(at.get(), &scratch);
    // The content moved, so the keys the collection finds it by move too.
    m_buttons->SwapKeys(Index, target);
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
    RequestUpdate();
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
    RequestUpdate();
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
    RequestUpdate();
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
                      font ? *font : StdFont(), true, m_captions.get());
    }
    if (c.hasIcon) {
        const PictureRef img = item->Image();
        s.PaintPictureEx(c.iconX, c.iconY, item->IconSize(), item->IconSize(), img.get(), item->maskColor(), -1,
                         false, !item->Enabled(), false, item->UseMaskColor());
    }
    if (dropdown)
        s.DrawDropdownArrow(R - 14, RoundEven((H - 2) / 2.0));
    if (hasFocus() && m_focusIndex > 0 && m_buttons->Item(m_focusIndex).get() == item)
        DrawFocusMark(*item);
    RequestUpdate();
}

void NavToolbar::DrawFocusMark(const clsToolbarItem &item)
{
    // A dotted outline inside the face, every other pixel black.
    ToolbarSurface s(&m_surface);
    const int l = item.BoundsLeft() + 4;
    const int r = item.BoundsRight() - 6;
    const int t = 4;
    const int b = height() - 7;
    for (int x = l; x <= r; x += 2) {
        s.SetPixel(x, t, kBlack);
        s.SetPixel(x, b, kBlack);
    }
    for (int y = t; y <= b; y += 2) {
        s.SetPixel(l, y, kBlack);
        s.SetPixel(r, y, kBlack);
    }
}

void NavToolbar::Redraw(bool &blnClear, int32_t &iFrom, int32_t &iTo)
{
    (void)blnClear;
    if (!m_initialised)
        return;
    m_inRedraw = true;
    InitialGradToolbar();
    DrawGrip();
    DrawChevron(m_colors.ChevronTop, m_colors.ChevronBottom);
    const int32_t count = m_buttons->Count();
    if (count > 0) {
        if (iFrom < 1)
            iFrom = 1;
        if (iTo == -1)
            iTo = count;
        if (iTo > count)
            iTo = count;
        for (int32_t i = iFrom; i <= iTo; ++i) {
            ItemRef item = m_buttons->Item(i);
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
    m_inRedraw = false;
    RequestUpdate();
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
    const bool platformRequest = !m_selfUpdate;
    m_selfUpdate = false;
    m_inPaint = true;
    if (m_userMode && platformRequest)
        Redraw();
    m_inPaint = false;
    QPainter p(this);
    if (!m_surface.isNull())
        p.drawImage(0, 0, m_surface);
}

void NavToolbar::EvaluateMouseState(const QPoint &pos)
{
    clsState &st = *m_ctlState;
    const int x = pos.x();
    const int y = pos.y();
    if (x >= 0 && x <= 8) {
        st.SetCtlOverState(1);
        return;
    }
    const int W = width();
    if (x >= RoundEven(W - 13.0) && x < W) {
        st.SetCtlOverState(3);
        return;
    }
    bool found = false;
    const int32_t count = m_buttons->Count();
    for (int32_t i = 1; i <= count; ++i) {
        const ItemRef item = m_buttons->Item(i);
        if (!item || !item->Visible())
            continue;
        const bool inside = x >= item->BoundsLeft() && x < item->BoundsRight() && y >= item->BoundsTop()
            && y < item->BoundsBottom();
        if (!inside) {
            item->SetState(STA_NORMAL);
        } else if (item->Enabled()) {
            st.SetItemIndex(static_cast<int16_t>(i));
            item->SetState(STA_OVER);
            st.SetCtlOverState(2);
            found = true;
        } else {
            item->SetState(STA_DISABLED);
        }
    }
    if (found) {
        const ItemRef hot = m_buttons->Item(int32_t(st.OverItem()));
        Q_EMIT HoverItem(hot);
        RaiseEvent(dispid::HoverItem, hot, 0, 0, false);
    } else {
        st.SetCtlOverState(0);
    }
}

void NavToolbar::OnStateChange(int32_t OldState, int32_t NewState)
{
    clsState &st = *m_ctlState;
    if (OldState == 2) {
        const int16_t over = st.OverItem();
        const ItemRef item = over > 0 ? m_buttons->Item(int32_t(over)) : nullptr;
        if (item && item->btnType() == Button) {
            item->SetState(item->Style() == CheckButton && item->Value() ? STA_SELECTED : STA_NORMAL);
            DrawButton(item.get());
        }
    } else if (OldState == 3) {
        DrawChevron(m_colors.ChevronTop, m_colors.ChevronBottom);
    }
    if (NewState == 0) {
        st.SetItemIndex(0);
        st.SetOverItem(0);
    } else if (NewState == 2) {
        const ItemRef item = m_buttons->Item(int32_t(st.ItemIndex()));
        if (item && item->btnType() == Button) {
            DrawButton(item.get());
            st.SetOverItem(st.ItemIndex());
        }
    } else if (NewState == 3) {
        DrawChevron(m_colors.ChevronHotTop, m_colors.ChevronHotBottom);
    }
}

void NavToolbar::mousePressEvent(QMouseEvent *event)
{
    EvaluateMouseState(event->position().toPoint());
    if (m_ctlState->CtlOverState() != 2)
        return;
    const ItemRef item = m_buttons->Item(int32_t(m_ctlState->ItemIndex()));
    if (item && item->btnType() == Button) {
        item->SetState(STA_PRESSED);
        DrawButton(item.get());
    }
}

void NavToolbar::mouseMoveEvent(QMouseEvent *event)
{
    EvaluateMouseState(event->position().toPoint());
    m_tip->Destroy();
    if (m_ctlState->CtlOverState() != 2)
        return;
    const ItemRef item = m_buttons->Item(int32_t(m_ctlState->ItemIndex()));
    m_tip->SetStyle(1);
    m_tip->SetTipText(item ? item->TooltipText() : QString());
    m_tip->SetVisibleTime(2000);
    m_tip->SetDelayTime(300);
    m_tip->Create(this);
}

void NavToolbar::mouseReleaseEvent(QMouseEvent *event)
{
    const QPointF p = event->position();
    EvaluateMouseState(p.toPoint());
    const int32_t X = RoundEven(p.x());
    const int32_t Y = RoundEven(p.y());
    const int32_t zone = m_ctlState->CtlOverState();
    if (zone == 3) {
        ChevronClick();
        return;
    }
    if (zone != 2)
        return;
    const ItemRef b = m_buttons->Item(int32_t(m_ctlState->ItemIndex()));
    if (!b || b->btnType() != Button)
        return;
    ClickButton(b, X, Y, b->Style() == DropdownButton && X > b->BoundsRight() - 17);
}

void NavToolbar::ClickButton(const ItemRef &b, int32_t X, int32_t Y, bool arrow)
{
    if (b->Style() == CheckButton) {
        b->SetValue(!b->Value());
        b->SetState(b->Value() ? STA_SELECTED : STA_NORMAL);
        arrow = false;
    } else {
        b->SetState(STA_NORMAL);
    }
    DrawButton(b.get());
    if (arrow) {
        Q_EMIT DropdownClick(b, X, Y);
        RaiseEvent(dispid::DropdownClick, b, X, Y, true);
    } else {
        Q_EMIT ItemClick(b, X, Y);
        RaiseEvent(dispid::ItemClick, b, X, Y, true);
    }
}

bool NavToolbar::PressButton(int32_t position, bool arrow)
{
    const ItemRef b = m_buttons->Item(position);
    if (!b || b->btnType() != Button || !b->Visible() || !b->Enabled())
        return false;
    arrow = arrow && b->Style() == DropdownButton;
    // Where a pointer would have released: the middle of the part pressed.
    const int32_t right = arrow || b->Style() != DropdownButton ? b->BoundsRight() : b->BoundsRight() - 17;
    const int32_t left = arrow ? b->BoundsRight() - 16 : b->BoundsLeft();
    ClickButton(b, (left + right) / 2, (b->BoundsTop() + b->BoundsBottom()) / 2, arrow);
    return true;
}

bool NavToolbar::Focusable(int32_t position) const
{
    const ItemRef b = m_buttons->Item(position);
    return b && b->btnType() == Button && b->Visible() && b->Enabled();
}

void NavToolbar::MoveFocus(int32_t position)
{
    const int32_t old = m_focusIndex;
    m_focusIndex = position;
    if (old != position && old > 0)
        DrawButton(m_buttons->Item(old).get()); // its mark goes
    if (position > 0)
        DrawButton(m_buttons->Item(position).get());
    NotifyAccessibility();
}

void NavToolbar::keyPressEvent(QKeyEvent *event)
{
    const int32_t count = m_buttons->Count();
    auto step = [&](int32_t from, int32_t delta) {
        for (int32_t i = from + delta; i >= 1 && i <= count; i += delta)
            if (Focusable(i))
                return i;
        return 0;
    };
    const int32_t at = Focusable(m_focusIndex) ? m_focusIndex : 0;
    int32_t to = 0;
    switch (event->key()) {
    case Qt::Key_Left:
        to = at ? step(at, -1) : step(count + 1, -1);
        break;
    case Qt::Key_Right:
        to = step(at, 1);
        break;
    case Qt::Key_Home:
        to = step(0, 1);
        break;
    case Qt::Key_End:
        to = step(count + 1, -1);
        break;
    case Qt::Key_Down:
        // The arrow part of a drop-down button; nothing else has one.
        if (!at || m_buttons->Item(at)->Style() != DropdownButton) {
            QWidget::keyPressEvent(event);
            return;
        }
        [[fallthrough]];
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        if (at && !event->isAutoRepeat())
            PressButton(at, event->key() == Qt::Key_Down); // the host may remove the control here
        return;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    if (to)
        MoveFocus(to);
}

void NavToolbar::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    if (!Focusable(m_focusIndex)) {
        m_focusIndex = 0;
        for (int32_t i = 1; i <= m_buttons->Count() && !m_focusIndex; ++i)
            if (Focusable(i))
                m_focusIndex = i;
    }
    MoveFocus(m_focusIndex);
}

void NavToolbar::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    if (m_focusIndex > 0)
        DrawButton(m_buttons->Item(m_focusIndex).get());
    NotifyAccessibility();
}

void NavToolbar::RaiseEvent(int32_t id, const ItemRef &item, int32_t x, int32_t y, bool withPosition)
{
    if (!m_eventSink)
        return;
    IDispatch *sink = m_eventSink;
    sink->AddRef(); // a handler may drop the sink
    // Handed over as an array of plain variants.
    static_assert(sizeof(com::Variant) == sizeof(VARIANT));
    std::vector<com::Variant> args; // in reverse order, as the platform passes them
    if (id != dispid::ThemeChanged && id != dispid::MouseRightClick) {
        if (withPosition) {
            args.push_back(com::Variant::fromInt32(y));
            args.push_back(com::Variant::fromInt32(x));
        }
        clsToolbarItemDispatch *object = item ? new clsToolbarItemDispatch(item) : nullptr;
        args.push_back(com::Variant::fromDispatch(object));
        if (object)
            object->Release(); // the argument holds it now
    }
    DISPPARAMS params{args.empty() ? nullptr : static_cast<VARIANT *>(args.data()), nullptr,
                      uint32_t(args.size()), 0};
    // Failures of the host's handler stay with the host.
    sink->Invoke(id, GUID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
    sink->Release();
}

void NavToolbar::Before(bool &, int32_t &, QObject *, int32_t &, QEvent *)
{
}

void NavToolbar::After(int32_t &, QObject *hWnd, int32_t uMsg, QEvent *)
{
    if (hWnd == this) {
        if (uMsg == wm::MouseMove) {
            // Qt reports the leave of a window the pointer has entered without
            // being asked, so marking the request is all there is to do.
            m_trackingRequested = true;
        } else if (uMsg == wm::MouseLeave) {
            m_trackingRequested = false;
            m_ctlState->SetCtlOverState(0);
            unsetCursor();
        }
        return;
    }
    if (uMsg == wm::ThemeChanged) {
        Q_EMIT ThemeChanged();
        RaiseEvent(dispid::ThemeChanged, nullptr, 0, 0, false);
    }
}

void NavToolbar::InstallSubclassing()
{
    if (QWidget *host = parentWidget()) {
        m_parentSubclass->UnSubclass();
        if (m_parentSubclass->Subclass(host, this))
            m_parentSubclass->AddAfterMsgs({wm::DisplayChange, wm::SysColorChange, wm::ThemeChanged,
                                            wm::EnterSizeMove});
    }
    m_ownSubclass->UnSubclass();
    if (m_ownSubclass->Subclass(this, this))
        m_ownSubclass->AddAfterMsgs({wm::MouseLeave, wm::MouseMove});
}

void NavToolbar::UpdateButtonCount()
{
    m_storedButtonCount = static_cast<int16_t>(m_buttons->Count());
    PropertyChanged(QStringLiteral("ButtonCount"));
}

namespace {
constexpr int32_t kWindowText = int32_t(0x80000008);
constexpr int32_t kMagenta = 0xFF00FF;
} // namespace

void NavToolbar::WriteProperties(PropertyBag &bag) const
{
    using V = PropertyBag::Value;
    bag.WriteProperty(QStringLiteral("ThemeColor"), V(int32_t(m_themeColor)), V(int32_t(Autodetect)));
    bag.WriteProperty(QStringLiteral("SkinID"), V(m_skinID), V(QString()));
    const int32_t count = m_buttons->Count();
    bag.WriteProperty(QStringLiteral("ButtonCount"), V(count), V(int16_t(0)));
    const V ambient(std::make_shared<StdFont>(m_ambientFont));
    for (int32_t i = 1; i <= count; ++i) {
        const ItemRef b = m_buttons->Item(i);
        const QString n = QString::number(i);
        bag.WriteProperty(QStringLiteral("Caption") + n, V(b->Caption()), V(QString()));
        bag.WriteProperty(QStringLiteral("Key") + n, V(b->Key()), V(QString()));
        bag.WriteProperty(QStringLiteral("Visible") + n, V(b->Visible()), V(true));
        bag.WriteProperty(QStringLiteral("Enabled") + n, V(b->Enabled()), V(true));
        bag.WriteProperty(QStringLiteral("Icon") + n, V(b->GetPicture()), V(PictureRef()));
        bag.WriteProperty(QStringLiteral("IconSize") + n, V(b->IconSize()), V(int16_t(16)));
        bag.WriteProperty(QStringLiteral("ToolTipText") + n, V(b->TooltipText()), V(QString()));
        bag.WriteProperty(QStringLiteral("Alignment") + n, V(int32_t(b->Alignment())), V(int32_t(0)));
        bag.WriteProperty(QStringLiteral("btnType") + n, V(int32_t(b->btnType())), V(int16_t(0)));
        bag.WriteProperty(QStringLiteral("Style") + n, V(int32_t(b->Style())), V(int16_t(0)));
        bag.WriteProperty(QStringLiteral("ForeColor") + n, V(b->ForeColor()), V(kWindowText));
        bag.WriteProperty(QStringLiteral("Font") + n, V(b->Font()), ambient);
        bag.WriteProperty(QStringLiteral("State") + n, V(int32_t(b->State())), V(int16_t(0)));
        bag.WriteProperty(QStringLiteral("Value") + n, V(b->Value()), V(false));
        bag.WriteProperty(QStringLiteral("Left") + n, V(b->iLeft()), V(int16_t(0)));
        bag.WriteProperty(QStringLiteral("Top") + n, V(b->iTop()), V(int16_t(0)));
        bag.WriteProperty(QStringLiteral("Width") + n, V(b->iWidth()), V(int16_t(0)));
        bag.WriteProperty(QStringLiteral("Height") + n, V(b->iHeight()), V(int16_t(0)));
        bag.WriteProperty(QStringLiteral("UseMaskColor") + n, V(b->UseMaskColor()), V(true));
        bag.WriteProperty(QStringLiteral("MaskColor") + n, V(b->maskColor()), V(kMagenta));
    }
}

QString NavToolbar::StoredProperties() const
{
    PropertyBag bag;
    try {
        WriteProperties(bag);
    } catch (const std::exception &) {
        return QString();
    }
    return QString::fromLatin1(bag.Save().toBase64());
}

jx::Result<> NavToolbar::SetStoredProperties(const QString &text)
{
    QString reason;
    try {
        const auto bytes = QByteArray::fromBase64Encoding(text.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        if (!bytes)
            throw com::RuntimeError(380, QStringLiteral("qvToolbar"), QStringLiteral("保存的属性无效: 不是 Base64 文本"));
        ReadProperties(PropertyBag::Load(*bytes));
        m_readError.clear();
        return {};
    } catch (const std::exception &e) {
        reason = QStringLiteral("工具栏按钮未能读出: ") + com::errorDescription(e);
    }
    m_readError = reason;
    qWarning("NavToolbar: %s", qPrintable(reason));
    QMetaObject::invokeMethod(
        this, [this, reason] { Q_EMIT StoredPropertiesFailed(reason); }, Qt::QueuedConnection);
    return jx::fail(reason);
}

void NavToolbar::ReadButton(const PropertyBag &bag, int32_t i)
{
    const QString n = QString::number(i);
    // One statement per value: they are read in this order, which decides
    // which fault a bad set reports.
    const QString caption = bag.ReadString(QStringLiteral("Caption") + n, QString());
    const QString key = bag.ReadString(QStringLiteral("Key") + n, QString());
    const PictureRef icon = bag.ReadPicture(QStringLiteral("Icon") + n);
    const bool visible = bag.ReadBool(QStringLiteral("Visible") + n, true);
    const ItemRef b = m_buttons->AddItemEx(caption, key, icon, visible);
    b->SetEnabled(bag.ReadBool(QStringLiteral("Enabled") + n, true));
    b->SetIconSize(bag.ReadInt16(QStringLiteral("IconSize") + n, 16));
    b->SetTooltipText(bag.ReadString(QStringLiteral("ToolTipText") + n, QString()));
    b->SetAlignment(static_cast<AlignCont>(bag.ReadInt32(QStringLiteral("Alignment") + n, 0)));
    b->SetbtnType(static_cast<BtnTypeCont>(bag.ReadInt16(QStringLiteral("btnType") + n, 0)));
    b->SetStyle(static_cast<BtnStyleCont>(bag.ReadInt16(QStringLiteral("Style") + n, 0)));
    b->SetForeColor(bag.ReadInt32(QStringLiteral("ForeColor") + n, kWindowText));
    b->SetFont(bag.ReadFont(QStringLiteral("Font") + n, m_ambientFont));
    // Setting the font keeps the metrics of the default font the caption
    // was measured in when the button was added; measure it in its own.
    b->SetCaption(caption);
    b->SetState(static_cast<BtnStateCont>(bag.ReadInt16(QStringLiteral("State") + n, 0)));
    b->SetValue(bag.ReadBool(QStringLiteral("Value") + n, false));
    b->SetUseMaskColor(bag.ReadBool(QStringLiteral("UseMaskColor") + n, true));
    b->SetmaskColor(bag.ReadInt32(QStringLiteral("MaskColor") + n, kMagenta));
}

void NavToolbar::ReadProperties(const PropertyBag &bag)
{
    // The control's own values all come first, so a bad one changes nothing.
    const auto theme = static_cast<ThemeConst>(bag.ReadInt32(QStringLiteral("ThemeColor"), Autodetect));
    const int16_t count = bag.ReadInt16(QStringLiteral("ButtonCount"), 0);
    const QString skin = bag.ReadString(QStringLiteral("SkinID"), QString());
    m_themeColor = theme;
    m_storedButtonCount = count;
    m_skinID = skin;
    m_buttons = std::make_shared<clsItems>();
    m_ctlState->SetItemIndex(0);
    m_ctlState->SetOverItem(0);
    // A failing button stops the read; the buttons before it are still laid
    // out and shown (a blank bar would hide them), then the failure goes on.
    std::exception_ptr failure;
    try {
        for (int32_t i = 1; i <= m_storedButtonCount; ++i)
            ReadButton(bag, i);
    } catch (...) {
        failure = std::current_exception();
    }
    m_parentSubclass = std::make_unique<clsSubclass>();
    m_ownSubclass = std::make_unique<clsSubclass>();
    if (m_userMode)
        InstallSubclassing();
    ApplyThemeColors();
    int16_t from = 1;
    bool size = false;
    Calculate_Size(from, size);
    m_initialised = true;
    bool clear = false;
    int32_t first = 1;
    int32_t last = -1;
    Redraw(clear, first, last);
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace qvtoolbar
