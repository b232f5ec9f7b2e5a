#pragma once

namespace qvcontrols {

// Installs the accessibility factory for the painted controls of this
// library (tab strip, diagram nodes, link labels). Called by
// registerControlClasses(); a program that creates the controls directly
// calls it once after making its application. Calling it again does nothing.
void installAccessibility();

} // namespace qvcontrols
