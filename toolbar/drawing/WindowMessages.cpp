#include "toolbar/drawing/WindowMessages.h"

#include <QMouseEvent>

namespace qvtoolbar::wm {

namespace {
int32_t buttonMessage(const QEvent *event, bool down)
{
    switch (static_cast<const QMouseEvent *>(event)->button()) {
    case Qt::RightButton:
        return down ? RButtonDown : RButtonUp;
    case Qt::MiddleButton:
        return down ? MButtonDown : MButtonUp;
    default:
        return down ? LButtonDown : LButtonUp;
    }
}
} // namespace

int32_t MessageOf(const QEvent *event)
{
    if (!event)
        return 0;
    switch (event->type()) {
    case QEvent::MouseMove:
        return MouseMove;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        return buttonMessage(event, true);
    case QEvent::MouseButtonRelease:
        return buttonMessage(event, false);
    case QEvent::Leave:
        return MouseLeave;
    case QEvent::Paint:
        return Paint;
    case QEvent::PaletteChange:
    case QEvent::ApplicationPaletteChange:
        return SysColorChange;
    case QEvent::ScreenChangeInternal:
        return DisplayChange;
    // Not StyleChange as well: a widget sends itself one while it handles
    // the theme change.
    case QEvent::ThemeChange:
        return ThemeChanged;
    // Qt reports each step of a move or resize, not its start: each step
    // counts as one.
    case QEvent::Move:
    case QEvent::Resize:
        return EnterSizeMove;
    default:
        return QtEventBase + int32_t(event->type());
    }
}

} // namespace qvtoolbar::wm
