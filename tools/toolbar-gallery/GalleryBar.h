#pragma once

#include "toolbar/control/NavToolbar.h"

#include <memory>

// Builds a sample bar: buttons of every style and state, icons drawn on a
// magenta mask colour, a disabled button and separators.
std::unique_ptr<qvtoolbar::NavToolbar> makeGalleryBar(qvtoolbar::ThemeConst theme, int widthPx, int heightPx,
                                                      QWidget *parent = nullptr);
// Paints the sample states over the resting bar.
void paintGalleryStates(qvtoolbar::NavToolbar &bar);
// Builds the interactive bar of --events on the host: a normal, a check, a
// drop-down and a disabled button and a separator, loaded as a host form
// loads its saved control (so it follows the pointer leaving it).
qvtoolbar::NavToolbar *makeEventsBar(QWidget *host);
