#pragma once

#include "platform/com/Result.h"
#include "toolbar/QvToolbarExport.h"
#include "toolbar/control/StdFont.h"
#include "toolbar/control/StdPicture.h"
#include "toolbar/control/ThemeColorSet.h"
#include "toolbar/control/ToolbarEnums.h"
#include "toolbar/control/clsItems.h"
#include "toolbar/drawing/ISubclassingSink.h"

#include <QImage>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <cstdint>
#include <memory>

struct IDispatch;

namespace qvtoolbar {

class CaptionCache;
class PropertyBag;
class clsState;
class clsSubclass;
class clsToolTip;

// The themed gradient button bar that host forms embed. It draws into a
// persistent image (its surface); a paint request shows that image.
// Geometry of buttons is in pixels, the control's own size in twips.
class QVTOOLBAR_EXPORT NavToolbar : public QWidget, private ISubclassingSink
{
    Q_OBJECT
    // The stored properties as one text (the saved property bag in Base64),
    // so that a form file can keep them; empty for a control never stored.
    Q_PROPERTY(QString StoredProperties READ StoredProperties WRITE setStoredProperties)
    // Why the last stored text given to the control was not fully read;
    // empty after a read that succeeded.
    Q_PROPERTY(QString StoredPropertiesError READ StoredPropertiesError NOTIFY StoredPropertiesFailed)
public:
    explicit NavToolbar(QWidget *parent = nullptr);
    ~NavToolbar() override;

    // The host's "placed for the first time" step: marks the control
    // initialised (nothing is laid out or drawn before it).
    void InitProperties();
    bool IsInitialised() const { return m_initialised; }

    clsItems &Buttons() { return *m_buttons; }
    const clsItems &Buttons() const { return *m_buttons; }
    // The collection object itself; reading stored properties replaces it.
    std::shared_ptr<clsItems> ButtonsObject() const { return m_buttons; }

    // Stores the design-time settings: only values that differ from their
    // defaults. Throws com::RuntimeError when a value cannot be stored.
    void WriteProperties(PropertyBag &bag) const;
    // Restores them into a new button collection, then installs the
    // subclassing in run mode, lays out and redraws. A failing value stops
    // the read with com::RuntimeError; the buttons read before it stay and
    // are shown. A bad control-level value changes nothing.
    void ReadProperties(const PropertyBag &bag);
    QString StoredProperties() const;
    // Reads the text StoredProperties gave. Bad text changes nothing and
    // fails with the reason; a failing value keeps
    // the buttons read before it, as ReadProperties does. A failure is also
    // kept as StoredPropertiesError and raised as StoredPropertiesFailed.
    jx::Result<> SetStoredProperties(const QString &text);
    // The property's setter under the name form code generated from a form
    // file calls; that code cannot look at a result, so its host reads
    // StoredPropertiesError or listens to StoredPropertiesFailed.
    void setStoredProperties(const QString &text) { static_cast<void>(SetStoredProperties(text)); }
    QString StoredPropertiesError() const { return m_readError; }
    // Page-only: the button count as last stored or read.
    int16_t StoredButtonCount() const { return m_storedButtonCount; }
    // Page-only: takes the current count as the stored one and marks it
    // changed.
    void UpdateButtonCount();
    // The host's ambient font (the default of every button's font).
    const StdFont &AmbientFont() const { return m_ambientFont; }
    void SetAmbientFont(const StdFont &font) { m_ambientFont = font; }

    // The window the host knows the control by (this widget), or null.
    QWidget *hwnd() { return this; }
    // Pointer state of the control.
    clsState &CtlState() const { return *m_ctlState; }
    // The subclassing on the host form's window and on the control's own
    // window; null until stored properties are read.
    clsSubclass *ParentSubclass() const { return m_parentSubclass.get(); }
    clsSubclass *OwnSubclass() const { return m_ownSubclass.get(); }
    // Leave tracking: requested on the first move after the pointer came in.
    bool LeaveTrackingRequested() const { return m_trackingRequested; }

    // Automation hosts: the object whose Invoke receives the events of the
    // event interface __NavToolbar (by dispatch identifier; null to stop).
    void SetEventSink(IDispatch *sink);

    // Adds a button; the result is the new button count. A duplicate key
    // throws com::RuntimeError from the collection.
    int16_t AddButton(BtnTypeCont m_Type = Button, const QString &m_Caption = QString(),
                      const QString &m_Key = QString(), PictureRef m_Icon = nullptr,
                      int16_t m_IconSize = 16, AlignCont m_BtnAlignment = IconLeftTextRight,
                      const QString &m_Tooltip = QString(), int32_t m_ForeColor = int32_t(0x80000008),
                      FontRef m_Font = nullptr, BtnStyleCont m_Style = NormalButton,
                      BtnStateCont m_State = STA_NORMAL, bool m_UseMaskColor = true,
                      int32_t m_MaskColor = 0xFF00FF);
    // Swaps a button's content with its neighbour; the new position, or 0.
    int16_t MoveButton(int16_t Index, MoveConst &lDirection);
    // Places the buttons from piIndex on (corrected in place).
    void Calculate_Size(int16_t &piIndex, bool &blnSize);
    void Calculate_Size(int16_t piIndex = 1);
    // With plSize 1, the default, the height follows the tallest button.
    void AutoResize(int16_t plSize = 1);

    // Control size in twips (15 per pixel).
    int32_t TwipsWidth() const;
    int32_t TwipsHeight() const;
    void SetTwipsSize(int32_t width, int32_t height);

    // Full repaint of the surface; iFrom/iTo are corrected in place.
    void Redraw(bool &blnClear, int32_t &iFrom, int32_t &iTo);
    void Redraw();
    // Rebuilds the bar background (gradient, bottom line, grip, chevron).
    void InitialGradToolbar();

    ThemeConst ThemeColor() const { return m_themeColor; }
    void SetThemeColor(ThemeConst theme);
    QString SkinID() const { return m_skinID; }
    void SetSkinID(const QString &skin);

    // Run mode (true) or a form designer (false).
    bool UserMode() const { return m_userMode; }
    void SetUserMode(bool run) { m_userMode = run; }
    // The container's background colour (OLE colour).
    int32_t AmbientBackColor() const { return m_ambientBackColor; }
    void SetAmbientBackColor(int32_t c) { m_ambientBackColor = c; }

    const QImage &Surface() const { return m_surface; }
    const ThemeColorSet &Colors() const { return m_colors; }
    clsToolTip *ToolTip() const { return m_tip; }
    // Property names marked changed for persistence, oldest first.
    QStringList ChangedProperties() const { return m_changed; }

    // Icon position and caption rectangle of one button.
    struct ContentLayout
    {
        bool hasIcon = false;
        int iconX = 0;
        int iconY = 0;
        bool hasCaption = false;
        int capLeft = 0, capTop = 0, capRight = 0, capBottom = 0;
    };
    static ContentLayout LayoutContent(const clsToolbarItem &item);

    // Clicks the button at the position as a release of the mouse over it
    // does (over the arrow part of a drop-down button with `arrow`): the
    // same state, drawing and events. False, and nothing happens, for a
    // position that is not a visible, enabled button. The keyboard and
    // assistive technology press buttons through this.
    bool PressButton(int32_t position, bool arrow = false);
    // The button the keyboard focus mark is on (1-based; 0 none). The mark
    // shows while the control has the focus.
    int32_t FocusedPosition() const { return m_focusIndex; }

    // Drawing steps, usable on their own by hosts that repaint a part.
    void DrawGrip();
    void DrawChevron(int32_t top, int32_t bottom);
    void DrawSeparator(const clsToolbarItem &item);
    void DrawButton(clsToolbarItem *item);

Q_SIGNALS:
    // At every pointer evaluation that finds an enabled visible item; the
    // item is the hot button (null over a separator with none hot before).
    void HoverItem(qvtoolbar::ItemRef oItem);
    // Release over a button (not the arrow part of a drop-down button);
    // X, Y in the control's pixels.
    void ItemClick(qvtoolbar::ItemRef oItem, int32_t X, int32_t Y);
    // Declared for hosts; the control never raises it.
    void MouseRightClick();
    // The host form's window changed its theme.
    void ThemeChanged();
    // Release over the arrow part of a drop-down button.
    void DropdownClick(qvtoolbar::ItemRef oItem, int32_t X, int32_t Y);
    // A stored text was not fully read. Raised once control returns to the
    // event loop, so that a host whose form code set the text before the
    // host could connect still hears of it.
    void StoredPropertiesFailed(const QString &reason);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    friend class NavToolbarAccessible;
    void After(int32_t &lReturn, QObject *hWnd, int32_t uMsg, QEvent *event) override;
    void Before(bool &bHandled, int32_t &lReturn, QObject *hWnd, int32_t &uMsg, QEvent *event) override;
    void EvaluateMouseState(const QPoint &pos);
    void OnStateChange(int32_t OldState, int32_t NewState);
    void InstallSubclassing();
    void StartMouseTracking(QWidget *window);
    void ChevronClick() {}
    void RaiseEvent(int32_t dispid, const ItemRef &item, int32_t x, int32_t y, bool withPosition);
    void RequestUpdate();
    void ControlResize();
    void ApplyThemeColors();
    void PropertyChanged(const QString &name);
    void ReadButton(const PropertyBag &bag, int32_t position);
    void ClickButton(const ItemRef &b, int32_t X, int32_t Y, bool arrow);
    bool Focusable(int32_t position) const;
    void MoveFocus(int32_t position);
    void DrawFocusMark(const clsToolbarItem &item);
    void NotifyAccessibility();

    std::shared_ptr<clsItems> m_buttons;
    std::unique_ptr<clsState> m_ctlState;
    std::unique_ptr<CaptionCache> m_captions;
    std::unique_ptr<clsSubclass> m_parentSubclass;
    std::unique_ptr<clsSubclass> m_ownSubclass;
    bool m_trackingRequested = false;
    bool m_trackingAvailable = false;
    bool m_selfUpdate = false;
    IDispatch *m_eventSink = nullptr;
    int16_t m_storedButtonCount = 0;
    StdFont m_ambientFont;
    clsToolTip *m_tip = nullptr;
    ThemeColorSet m_colors;
    ThemeConst m_themeColor = Blue;
    QString m_skinID;
    bool m_initialised = false;
    bool m_userMode = true;
    bool m_inResize = false;
    bool m_inPaint = false;
    int16_t m_autoHeight = 0;
    int32_t m_ambientBackColor = int32_t(0x8000000F);
    QImage m_surface;
    QStringList m_changed;
    QString m_readError;
    int32_t m_focusIndex = 0;
    bool m_inRedraw = false;
    // Set once assistive technology (or anyone) asked for this control's
    // interface; until then there is nobody to keep in step.
    bool m_accessibleMade = false;
};

} // namespace qvtoolbar
