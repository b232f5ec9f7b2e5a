#include "extplugin/PluginFactory.h"

#include "platform/com/Bstr.h"
#include "platform/com/ClassRegistry.h"
#include "platform/com/ErrorInfo.h"
#include "platform/com/InprocServer.h"
#include "platform/com/LateBound.h"
#include "platform/com/TypeLibrary.h"

#include <QFileInfo>

#include <optional>

namespace extplugin {

namespace {
const QString kSource = QStringLiteral("PluginFactory");

QString textOf(IExtPluginUI *plugin, HRESULT (IExtPluginUI::*member)(BSTR *))
{
    if (!plugin)
        throw com::RuntimeError::of(com::errors::ObjectVariableNotSet, kSource);
    BSTR b = nullptr;
    com::throwIfFailed((plugin->*member)(&b), kSource);
    const QString s = com::fromBstr(b);
    SysFreeString(b);
    return s;
}
} // namespace

com::ComPtr<IExtPluginUI> pluginOf(IUnknown *object)
{
    com::ComPtr<IExtPluginUI> plugin;
    if (!object || FAILED(object->QueryInterface(IID_IExtPluginUI, plugin.putVoid())) || !plugin)
        throw com::RuntimeError::of(com::errors::NoAutomationInterface, kSource);
    return plugin;
}

com::ComPtr<IExtPluginUI> createPlugin(const QString &progId)
{
    const com::ComPtr<IDispatch> object = com::createObject(progId);
    return pluginOf(object.get());
}

com::ComPtr<IUnknown> createObjectFromFile(const QString &libraryPath, const QString &className, const com::TypeLibrary *description)
{
    const QString path = QFileInfo(libraryPath).absoluteFilePath();
    const auto refuse = [](const QString &why) {
        return com::RuntimeError(com::errors::CannotCreateObject, kSource,
                                 com::errorText(com::errors::CannotCreateObject) + QStringLiteral("：") + why);
    };
    std::optional<com::TypeLibrary> read;
    if (!description) {
        auto loaded = com::TypeLibrary::loadFromFile(path);
        if (!loaded)
            throw refuse(loaded.error());
        read = std::move(loaded).value();
        description = &*read;
    }
    const auto coclass = description->findCoclass(className);
    if (!coclass)
        throw refuse(QStringLiteral("%1 中没有类 %2").arg(path, className));
    // Loaded here so that a library that will not load says why.
    const auto module = com::InprocServer::load(path);
    if (!module)
        throw refuse(module.error());
    com::ComPtr<IClassFactory> factory;
    com::throwIfFailed(com::InprocServer::getClassObject(*module, path, coclass->guid, IID_IClassFactory, factory.putVoid()), kSource);
    if (!factory)
        throw refuse(QStringLiteral("%1 没有给出类 %2 的类工厂").arg(path, className));
    com::ComPtr<IUnknown> object;
    com::throwIfFailed(factory->CreateInstance(nullptr, IID_IUnknown, object.putVoid()), kSource);
    if (!object)
        throw refuse(QStringLiteral("%1 的类工厂报告成功，却没有给出类 %2 的对象").arg(path, className));
    return object;
}

com::ComPtr<IExtPluginUI> createPluginFromFile(const QString &libraryPath, const QString &className)
{
    const com::ComPtr<IUnknown> object = createObjectFromFile(libraryPath, className);
    return pluginOf(object.get());
}

void addParameters(IExtPluginUI *plugin, const ParameterList &parameters)
{
    if (!plugin)
        throw com::RuntimeError::of(com::errors::ObjectVariableNotSet, kSource);
    if (parameters.isEmpty())
        return;
    com::ComPtr<IDispatch> collection;
    com::throwIfFailed(plugin->get_Parameters(collection.put()), kSource);
    for (const auto &p : parameters)
        com::call(collection.get(), QStringLiteral("Add"),
                  {com::Variant::fromString(p.first), com::Variant::fromString(QString()), com::Variant::fromQVariant(p.second)});
}

bool startPlugin(IExtPluginUI *plugin, IDispatch *context, const ParameterList &parameters)
{
    addParameters(plugin, parameters);
    // By reference: the plug-in receives the address of our pointer and adds
    // a reference for whatever it keeps.
    IDispatch *byRef = context;
    VARIANT_BOOL ready = VARIANT_FALSE;
    com::throwIfFailed(plugin->Init(&byRef, &ready), kSource);
    return ready != VARIANT_FALSE;
}

QString pluginFriendlyName(IExtPluginUI *plugin) { return textOf(plugin, &IExtPluginUI::get_FriendlyName); }
QString pluginAuthor(IExtPluginUI *plugin) { return textOf(plugin, &IExtPluginUI::get_Author); }
QString pluginDescription(IExtPluginUI *plugin) { return textOf(plugin, &IExtPluginUI::get_Description); }

} // namespace extplugin
