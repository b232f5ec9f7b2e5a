#pragma once

// Named-value collection handed out by every plug-in through `Parameters`.
// Late-bound members: Add(name, text, value) -> PluginParameter,
// Item(name) -> PluginParameter, Count. A PluginParameter has Name and a
// read/write Value. Item of a name never added answers a detached entry with
// an empty value, so readers need not test for it; Add of an existing name
// replaces its value.

#include "extplugin/ExtPluginExport.h"
#include "platform/com/ComPtr.h"

namespace extplugin {

// A new, empty collection (one reference, owned by the caller).
QVEXTPLUGUI_EXPORT com::ComPtr<IDispatch> createPluginParameters();

} // namespace extplugin
