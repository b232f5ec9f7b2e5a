#pragma once

#include "jx_controls_export.h"

#include "platform/com/ComTypes.h"

#include <QString>

namespace qvcontrols {

// Makes this library's controls creatable by class name through the class
// registry ("qvPanel.Panel", "qvNavigationPanel.NavPanel", ...). A program
// calls it once at start; the registry lives in the shared object-model
// runtime, so hosts in every library see the classes.
JX_CONTROLS_EXPORT void registerControlClasses();

// The class id under which `progId` was registered; GUID_NULL for others.
CLSID controlClassId(const QString &progId);

} // namespace qvcontrols
