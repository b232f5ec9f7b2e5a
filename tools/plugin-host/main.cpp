// plugin-host: drives a plug-in as the console does.
//   plugin-host (--file PATH --class NAME | --progid PROGID) [--param NAME=VALUE]... [--action]

#include "extplugin/IExtPluginUI.h"
#include "platform/ProgramInfo.h"
#include "platform/com/ClassRegistry.h"
#include "platform/com/DispatchImpl.h"
#include "platform/com/ErrorInfo.h"
#include "platform/com/InprocServer.h"
#include "platform/com/LateBound.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include <cstdio>

namespace {

// The part of the console's context a plug-in reaches: Environment.AppPath.
class HostEnvironment final : public com::DispatchImpl<IDispatch>
{
public:
    explicit HostEnvironment(QString appPath) : m_appPath(std::move(appPath))
    {
        members().add(QStringLiteral("AppPath"), [this](const com::DispArgs &) { return com::Variant::fromString(m_appPath); });
    }

private:
    QString m_appPath;
};

class HostContext final : public com::DispatchImpl<IDispatch>
{
public:
    explicit HostContext(const QString &appPath) : m_environment(com::ComPtr<IDispatch>::adopt(new HostEnvironment(appPath)))
    {
        members().add(QStringLiteral("Environment"),
                      [this](const com::DispArgs &) { return com::Variant::fromDispatch(m_environment.get()); });
    }

private:
    com::ComPtr<IDispatch> m_environment;
};

int usage()
{
    std::fputs("usage: plugin-host (--file PATH --class NAME | --progid PROGID) [--param NAME=VALUE]... [--action]\n", stderr);
    return 2;
}

QString text(IExtPluginUI *plugin, HRESULT (IExtPluginUI::*member)(BSTR *))
{
    BSTR b = nullptr;
    com::throwIfFailed((plugin->*member)(&b));
    const QString s = com::fromBstr(b);
    SysFreeString(b);
    return s;
}

com::ComPtr<IUnknown> createFromFile(const QString &path, const QString &className)
{
    QString error;
    const auto lib = com::TypeLibrary::loadFromFile(path, &error);
    if (!lib)
        throw com::RuntimeError(429, QStringLiteral("plugin-host"), error);
    const auto coclass = lib->findCoclass(className);
    if (!coclass)
        throw com::RuntimeError(429, QStringLiteral("plugin-host"), QStringLiteral("no class %1 in %2").arg(className, path));
    com::ComPtr<IClassFactory> factory;
    com::throwIfFailed(com::InprocServer::getClassObject(path, coclass->guid, IID_IClassFactory, factory.putVoid()));
    com::ComPtr<IUnknown> object;
    com::throwIfFailed(factory->CreateInstance(nullptr, IID_IUnknown, object.putVoid()));
    return object;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QString file, className, progId;
    QList<QPair<QString, QString>> params;
    bool action = false;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--action")) {
            action = true;
        } else if (i + 1 < args.size() && a == QLatin1String("--file")) {
            file = args[++i];
        } else if (i + 1 < args.size() && a == QLatin1String("--class")) {
            className = args[++i];
        } else if (i + 1 < args.size() && a == QLatin1String("--progid")) {
            progId = args[++i];
        } else if (i + 1 < args.size() && a == QLatin1String("--param") && args[i + 1].contains(QLatin1Char('='))) {
            const QString p = args[++i];
            params.append({p.section(QLatin1Char('='), 0, 0), p.section(QLatin1Char('='), 1)});
        } else {
            return usage();
        }
    }
    if (progId.isEmpty() == (file.isEmpty() || className.isEmpty()))
        return usage();

    QTextStream out(stdout);
    try {
        com::ComPtr<IUnknown> object;
        if (!progId.isEmpty())
            object = com::ComPtr<IUnknown>(com::createObject(progId).get());
        else
            object = createFromFile(QFileInfo(file).absoluteFilePath(), className);
        com::ComPtr<IExtPluginUI> plugin = object.as<IExtPluginUI>(IID_IExtPluginUI);
        if (!plugin)
            throw com::RuntimeError(430, QStringLiteral("plugin-host"), QStringLiteral("Class does not support Automation or does not support expected interface"));

        com::ComPtr<IDispatch> parameters;
        com::throwIfFailed(plugin->get_Parameters(parameters.put()));
        for (const auto &p : params)
            com::call(parameters.get(), QStringLiteral("Add"),
                      {com::Variant::fromString(p.first), com::Variant::fromString(QString()), com::Variant::fromString(p.second)});

        IDispatch *context = new HostContext(jx::ProgramInfo::programFolder());
        VARIANT_BOOL ready = VARIANT_FALSE;
        com::throwIfFailed(plugin->Init(&context, &ready));
        out << text(plugin.get(), &IExtPluginUI::get_FriendlyName) << '\n'
            << text(plugin.get(), &IExtPluginUI::get_Author) << '\n'
            << text(plugin.get(), &IExtPluginUI::get_Description) << '\n';
        out.flush();
        if (action) {
            BSTR empty = nullptr;
            VARIANT_BOOL done = VARIANT_FALSE;
            com::throwIfFailed(plugin->Action(&empty, &done));
        }
        VARIANT_BOOL cleared = VARIANT_FALSE;
        plugin->Clear(&cleared);
        context->Release();
    } catch (const com::RuntimeError &e) {
        std::fprintf(stderr, "plugin-host: error %d: %s\n", e.number(), qPrintable(e.description()));
        return 1;
    }
    return 0;
}
