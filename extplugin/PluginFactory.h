#pragma once

// The one way the product creates and starts a plug-in: by ProgID through the
// class registry, or from a library file and class name through the library's
// class factory (no registration needed). The console, plugin-host and the
// tests all come through here.

#include "extplugin/ExtPluginExport.h"
#include "extplugin/IExtPluginUI.h"
#include "platform/com/ComPtr.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>

namespace com {
class TypeLibrary;
}

namespace extplugin {

// Name and value of each parameter, in the order they are added; a value
// goes as its automation type (an int as a 32-bit integer, a text as text).
using ParameterList = QList<QPair<QString, QVariant>>;

// Raises a run-time error (429, or 430 when the object is not a plug-in).
QVEXTPLUGUI_EXPORT com::ComPtr<IExtPluginUI> createPlugin(const QString &progId);
QVEXTPLUGUI_EXPORT com::ComPtr<IExtPluginUI> createPluginFromFile(const QString &libraryPath, const QString &className);
// The object of the library's class `className` (its coclass, any letter
// case), created through the library's class factory; the library is loaded
// once per path and stays loaded. Raises 429 with the reason. `description`,
// when given, is the library's type library already read from the file, so
// the file is not read again.
QVEXTPLUGUI_EXPORT com::ComPtr<IUnknown> createObjectFromFile(const QString &libraryPath, const QString &className,
                                                              const com::TypeLibrary *description = nullptr);
// The plug-in face of an object; raises 430 when it has none.
QVEXTPLUGUI_EXPORT com::ComPtr<IExtPluginUI> pluginOf(IUnknown *object);

// Adds each (name, value) to the plug-in's Parameters, the empty text as
// every second argument. Raises what the plug-in raises.
QVEXTPLUGUI_EXPORT void addParameters(IExtPluginUI *plugin, const ParameterList &parameters);
// addParameters, then hands the plug-in the context by reference through
// Init. Returns Init's answer; raises what the plug-in raises.
QVEXTPLUGUI_EXPORT bool startPlugin(IExtPluginUI *plugin, IDispatch *context, const ParameterList &parameters);

// The plug-in's describing texts.
QVEXTPLUGUI_EXPORT QString pluginFriendlyName(IExtPluginUI *plugin);
QVEXTPLUGUI_EXPORT QString pluginAuthor(IExtPluginUI *plugin);
QVEXTPLUGUI_EXPORT QString pluginDescription(IExtPluginUI *plugin);

} // namespace extplugin
