#pragma once

#include "toolbar/QvToolbarExport.h"

#include <QEvent>

#include <cstdint>

namespace qvtoolbar::wm {

// Window message numbers and the Qt events that mean the same.
constexpr int32_t Move = 3;
constexpr int32_t Size = 5;
constexpr int32_t Paint = 15;
constexpr int32_t SysColorChange = 21;    // palette change
constexpr int32_t DisplayChange = 126;    // the window's screen changed
constexpr int32_t NcDestroy = 0x82;       // the window is going away
constexpr int32_t MouseMove = 512;
constexpr int32_t LButtonDown = 513;
constexpr int32_t LButtonUp = 514;
constexpr int32_t RButtonDown = 516;
constexpr int32_t RButtonUp = 517;
constexpr int32_t MButtonDown = 519;
constexpr int32_t MButtonUp = 520;
constexpr int32_t EnterSizeMove = 561;
constexpr int32_t MouseLeave = 675;
constexpr int32_t ThemeChanged = 794;     // desktop theme change
// Qt events without a window-message twin are numbered from here on
// (the message range the platform leaves to programs) plus the event type.
constexpr int32_t QtEventBase = 0x8000;
// In a message list: every message.
constexpr int32_t AllMessages = -1;

// The message number an event stands for.
QVTOOLBAR_EXPORT int32_t MessageOf(const QEvent *event);

} // namespace qvtoolbar::wm
