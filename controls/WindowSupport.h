#pragma once

#include "jx_controls_export.h"

#include <QPixmap>
#include <QString>

class QWidget;

namespace qvcontrols {

class HelpViewer;

// The window's current image: its client area when `clientOnly`, otherwise
// the window with its frame as the screen shows it (the client area when the
// screen cannot give it). The rectangle is in pixels from the area's top
// left; an empty rectangle or no window gives an empty picture.
JX_CONTROLS_EXPORT QPixmap CaptureWindow(QWidget *window, bool clientOnly, int left, int top, int width, int height);

// Opens the program's help at its contents. An HTML help (a folder, or an
// .html/.htm file) opens in our own viewer, which is returned; any other file
// opens with the desktop. An empty name or a missing file shows the
// information message instead and returns null.
JX_CONTROLS_EXPORT HelpViewer *ShowHelpContents(const QString &helpFileName);

} // namespace qvcontrols
