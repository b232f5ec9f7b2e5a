#pragma once

#include "toolbar/QvToolbarExport.h"
#include "toolbar/control/StdFont.h"
#include "toolbar/control/StdPicture.h"
#include "toolbar/control/ToolbarEnums.h"

#include <QRect>
#include <QSize>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <functional>

namespace qvtoolbar {

// One button (or separator) of the toolbar.
class QVTOOLBAR_EXPORT clsToolbarItem final
{
public:
    clsToolbarItem();

    BtnTypeCont btnType() const { return m_btnType; }
    void SetbtnType(BtnTypeCont v);
    BtnStateCont State() const { return m_state; }
    void SetState(BtnStateCont v) { m_state = v; }
    BtnStyleCont Style() const { return m_style; }
    void SetStyle(BtnStyleCont v);
    AlignCont Alignment() const { return m_alignment; }
    void SetAlignment(AlignCont v);
    // Stores and measures the caption in the button's font, then resizes.
    // Throws com::RuntimeError (overflow) and changes nothing when the
    // result does not fit 16 bits.
    QString Caption() const { return m_caption; }
    void SetCaption(const QString &v);
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool v) { m_enabled = v; }
    QString Key() const { return m_key; }
    void SetKey(const QString &v) { m_key = v; }
    int16_t IconSize() const { return m_iconSize; }
    void SetIconSize(int16_t v);
    QString TooltipText() const { return m_tooltipText; }
    void SetTooltipText(const QString &v) { m_tooltipText = v; }
    int32_t ForeColor() const { return m_foreColor; }
    void SetForeColor(int32_t v) { m_foreColor = v; }
    // The font is shared by reference; setting it resizes but does not
    // re-measure the caption.
    FontRef Font() const { return m_font; }
    void SetFont(FontRef v);
    int16_t iLeft() const { return m_iLeft; }
    void SetiLeft(int16_t v) { m_iLeft = v; }
    int16_t iTop() const { return m_iTop; }
    void SetiTop(int16_t v) { m_iTop = v; }
    int16_t iWidth() const { return m_iWidth; }
    void SetiWidth(int16_t v) { m_iWidth = v; }
    int16_t iHeight() const { return m_iHeight; }
    void SetiHeight(int16_t v) { m_iHeight = v; }
    int32_t maskColor() const { return m_maskColor; }
    void SetmaskColor(int32_t v) { m_maskColor = v; }
    bool UseMaskColor() const { return m_useMaskColor; }
    void SetUseMaskColor(bool v) { m_useMaskColor = v; }
    bool Value() const { return m_value; }
    void SetValue(bool v) { m_value = v; }
    bool Visible() const { return m_visible; }
    void SetVisible(bool v) { m_visible = v; }
    QVariant Tag() const { return m_tag; }
    void SetTag(const QVariant &v) { m_tag = v; }

    // Null without a picture; a bitmap comes back re-rendered as an
    // IconSize square on maskColor; an icon as stored.
    PictureRef Image() const;

    // Library-internal operations.
    void SetPicture(PictureRef picture);
    PictureRef GetPicture() const { return m_picture; }
    void SetBounds(int32_t left, int32_t top, int32_t right, int32_t bottom);
    QRect GetBounds() const; // left, top, right, bottom as stored
    int32_t BoundsLeft() const { return m_bLeft; }
    int32_t BoundsTop() const { return m_bTop; }
    int32_t BoundsRight() const { return m_bRight; }
    int32_t BoundsBottom() const { return m_bBottom; }
    int16_t TextWidthPx() const { return m_textWidth; } // caption width + 4
    int16_t TextHeightPx() const { return m_textHeight; }
    int32_t LayoutTextWidth() const;
    static int32_t BorderWidth() { return 4; }
    void RecalcSize();

    // Caption measurement (width, height in pixels) in a font; replaceable
    // so that tests can pin font metrics. An empty function restores the
    // default measurement on a memory surface.
    using TextMeasurer = std::function<QSize(const QString &, const StdFont &)>;
    static void SetTextMeasurer(TextMeasurer measurer);

private:
    struct Size16 { int16_t w, h; };
    Size16 ComputeSize(int32_t tw, int32_t th, AlignCont align, BtnStyleCont style,
                       BtnTypeCont type, int16_t iconSize, bool hasPicture, bool hasCaption) const;

    BtnTypeCont m_btnType = Button;
    BtnStateCont m_state = STA_NORMAL;
    BtnStyleCont m_style = NormalButton;
    AlignCont m_alignment = IconLeftTextRight;
    QString m_caption;
    bool m_enabled = false;
    QString m_key;
    PictureRef m_picture;
    int16_t m_iconSize = 16;
    QString m_tooltipText;
    int32_t m_foreColor = 0;
    FontRef m_font;
    int16_t m_iLeft = 0, m_iTop = 0, m_iWidth = 0, m_iHeight = 0;
    int32_t m_maskColor = 0;
    bool m_useMaskColor = false;
    bool m_value = false;
    bool m_visible = true;
    QVariant m_tag;
    int32_t m_bLeft = 0, m_bTop = 0, m_bRight = 0, m_bBottom = 0;
    int16_t m_textWidth = 0;
    int16_t m_textHeight = 0;
};

} // namespace qvtoolbar
