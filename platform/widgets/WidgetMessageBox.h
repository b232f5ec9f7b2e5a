#pragma once

#include "jx_platform_widgets_export.h"

#include <QString>

namespace jx {

// The message box drawn with Qt Widgets: the presenter behind showMessageBox
// in every program that loads this library (installed when the application
// object is made, or at once when it exists already). Without a widget
// application the text goes to standard error and the default button is
// returned, as the seam does without a presenter.
JX_PLATFORM_WIDGETS_EXPORT int execWidgetMessageBox(const QString &text, int style, const QString &title);

} // namespace jx
