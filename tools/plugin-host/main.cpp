// plugin-host: drives a plug-in as the console does.
//   plugin-host [--installation DIR] (--file PATH --class NAME | --progid PROGID) [--param NAME=VALUE]... [--action]
//   plugin-host --scan (PLUGIN_FOLDER | LIBRARY)
// --scan prints one scan line per plug-in class or rejected library
// (console/plugins/PluginScanLine.h) for the plug-in manager, which runs it
// per library so that a library that crashes or hangs takes only this process.
// With --installation the plug-in gets that installation's real application
// context, opened through the console's own start-up steps (without signing in);
// otherwise a stand-in that only knows Environment.AppPath.

#include "console/config/bCommon.h"
#include "console/plugins/PluginScanLine.h"
#include "console/plugins/modCreateObj.h"
#include "console/startup/ConsoleSession.h"
#include "console/startup/RuntimeClasses.h"
#include "extplugin/IExtPluginUI.h"
#include "extplugin/PluginFactory.h"
#include "platform/ProgramInfo.h"
#include "platform/QtTranslations.h"
#include "platform/com/ClassRegistry.h"
#include "platform/com/Dispatchable.h"
#include "platform/com/ErrorInfo.h"
#include "platform/com/InprocServer.h"
#include "platform/com/LateBound.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <cstdio>

namespace {

// The part of the console's context a plug-in reaches: Environment.AppPath.
class HostEnvironment final : public com::Dispatchable<HostEnvironment>
{
public:
    static const com::MemberTable<HostEnvironment> &members()
    {
        static const com::MemberTable<HostEnvironment> table = com::MemberTable<HostEnvironment>().add(
            QStringLiteral("AppPath"), [](HostEnvironment &self, const com::DispArgs &) { return com::Variant::fromString(self.m_appPath); });
        return table;
    }

    explicit HostEnvironment(QString appPath) : m_appPath(std::move(appPath)) {}

private:
    QString m_appPath;
};

class HostContext final : public com::Dispatchable<HostContext>
{
public:
    static const com::MemberTable<HostContext> &members()
    {
        static const com::MemberTable<HostContext> table = com::MemberTable<HostContext>().add(
            QStringLiteral("Environment"),
            [](HostContext &self, const com::DispArgs &) { return com::Variant::fromDispatch(self.m_environment.get()); });
        return table;
    }

    explicit HostContext(const QString &appPath) : m_environment(com::ComPtr<IDispatch>::adopt(new HostEnvironment(appPath))) {}

private:
    com::ComPtr<IDispatch> m_environment;
};

int usage()
{
    std::fputs("usage: plugin-host [--installation DIR] (--file PATH --class NAME | --progid PROGID) [--param NAME=VALUE]... [--action]\n"
               "       plugin-host --scan (PLUGIN_FOLDER | LIBRARY)\n",
               stderr);
    return 2;
}

// Scans a library, or every library of a Plugin folder, as the manager's list
// does; the plug-ins get the stand-in context of the program folder above it.
int scan(const QString &target)
{
    const QFileInfo info(target);
    if (!info.exists()) {
        std::fprintf(stderr, "plugin-host: %s does not exist\n", qPrintable(target));
        return 1;
    }
    QStringList libraries;
    QDir pluginFolder = info.dir();
    if (info.isDir()) {
        pluginFolder = QDir(info.absoluteFilePath());
        for (const QString &name : pluginFolder.entryList({QStringLiteral("*.so")}, QDir::Files, QDir::Name))
            libraries << pluginFolder.filePath(name);
    } else {
        libraries << target;
    }
    const QString programFolder = QFileInfo(pluginFolder.absolutePath()).absolutePath();
    const auto context = com::ComPtr<IDispatch>::adopt(new HostContext(programFolder));
    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly))
        return 1;
    for (const QString &path : libraries) {
        const jx::PluginScan found = jx::ScanLibrary(context.get(), path);
        for (const jx::PluginRow &row : found.rows)
            out.write(jx::EncodeScanRow(row));
        for (const jx::PluginRejection &rejection : found.rejected)
            out.write(jx::EncodeScanRejection(rejection));
        out.flush();
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    jx::installQtTranslations(app);
    QCommandLineParser parser;
    const QCommandLineOption scanOption(QStringLiteral("scan"), QStringLiteral("List the plug-ins of a library or Plugin folder."),
                                        QStringLiteral("target"));
    const QCommandLineOption installationOption(QStringLiteral("installation"), QStringLiteral("Run on this installation's context."),
                                                QStringLiteral("folder"));
    const QCommandLineOption fileOption(QStringLiteral("file"), QStringLiteral("The plug-in library."), QStringLiteral("path"));
    const QCommandLineOption classOption(QStringLiteral("class"), QStringLiteral("The plug-in class in the library."), QStringLiteral("name"));
    const QCommandLineOption progIdOption(QStringLiteral("progid"), QStringLiteral("The registered plug-in."), QStringLiteral("progid"));
    const QCommandLineOption paramOption(QStringLiteral("param"), QStringLiteral("A parameter handed to the plug-in."),
                                         QStringLiteral("name=value"));
    const QCommandLineOption actionOption(QStringLiteral("action"), QStringLiteral("Run the plug-in's action."));
    parser.addOptions({scanOption, installationOption, fileOption, classOption, progIdOption, paramOption, actionOption});
    if (!parser.parse(app.arguments()) || !parser.positionalArguments().isEmpty())
        return usage();
    // An option given twice is a mistake, not a choice of the last one.
    for (const QCommandLineOption *single : {&scanOption, &installationOption, &fileOption, &classOption, &progIdOption})
        if (parser.values(*single).size() > 1)
            return usage();
    if (parser.isSet(scanOption)) {
        if (parser.optionNames().size() != 1)
            return usage();
        jx::RegisterRuntimeClasses();
        return scan(parser.value(scanOption));
    }
    const QString file = parser.value(fileOption), className = parser.value(classOption), progId = parser.value(progIdOption),
                  installation = parser.value(installationOption);
    const bool action = parser.isSet(actionOption);
    extplugin::ParameterList params;
    for (const QString &p : parser.values(paramOption)) {
        if (!p.contains(QLatin1Char('=')))
            return usage();
        params.append({p.section(QLatin1Char('='), 0, 0), QVariant(p.section(QLatin1Char('='), 1))});
    }
    if (progId.isEmpty() == (file.isEmpty() || className.isEmpty()))
        return usage();

    QTextStream out(stdout);
    jx::RegisterRuntimeClasses();
    // Declared before the plug-in, so the plug-in is cleared and released first.
    jx::ConsoleSession session;
    com::ComPtr<IDispatch> context;
    if (!installation.isEmpty()) {
        const QFileInfo folder(installation);
        if (!folder.isDir()) {
            std::fprintf(stderr, "plugin-host: %s is not a folder\n", qPrintable(installation));
            return 1;
        }
        jx::ProgramInfo::setProgramFolder(folder.absoluteFilePath());
        if (const auto opened = session.OpenInstallation(jx::FullPath(QStringLiteral("JxMain1.exe.Config"))); !opened) {
            std::fprintf(stderr, "plugin-host: cannot open the installation: %s\n", qPrintable(opened.error()));
            return 1;
        }
        context = com::ComPtr<IDispatch>(session.AppContext());
    } else {
        context = com::ComPtr<IDispatch>::adopt(new HostContext(jx::ProgramInfo::programFolder()));
    }
    try {
        com::ComPtr<IExtPluginUI> plugin = progId.isEmpty() ? extplugin::createPluginFromFile(file, className)
                                                            : extplugin::createPlugin(progId);
        extplugin::startPlugin(plugin.get(), context.get(), params);
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
    } catch (const com::RuntimeError &e) {
        std::fprintf(stderr, "plugin-host: error %d: %s\n", e.number(), qPrintable(e.description()));
        return 1;
    }
    return 0;
}
