// plugin-host: drives a plug-in as the console does.
//   plugin-host (--file PATH --class NAME | --progid PROGID) [--param NAME=VALUE]... [--action]

#include "extplugin/IExtPluginUI.h"
#include "extplugin/PluginFactory.h"
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
        com::ComPtr<IExtPluginUI> plugin = progId.isEmpty() ? extplugin::createPluginFromFile(file, className)
                                                            : extplugin::createPlugin(progId);
        IDispatch *context = new HostContext(jx::ProgramInfo::programFolder());
        extplugin::startPlugin(plugin.get(), context, params);
        out << extplugin::pluginFriendlyName(plugin.get()) << '\n'
            << extplugin::pluginAuthor(plugin.get()) << '\n'
            << extplugin::pluginDescription(plugin.get()) << '\n';
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
