#pragma once

#include "jx_controls_export.h"

namespace qvcontrols {

// Installs the accessibility factory for the painted controls of this
// library (tab strip, diagram nodes, link labels, the navigation panel's
// group buttons) and for top-level plain widgets, which become frames. Called by
// registerControlClasses(); a program that creates the controls directly
// calls it once after making its application. Calling it again does nothing.
JX_CONTROLS_EXPORT void installAccessibility();

} // namespace qvcontrols
