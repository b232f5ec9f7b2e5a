#include "console/plugins/modCreateObj.h"

#include "console/log/Logger.h"
#include "console/support/clsRegistryAccess.h"
#include "extplugin/PluginFactory.h"
#include "platform/com/RuntimeError.h"
#include "platform/com/ErrorInfo.h"
#include "platform/com/TypeLibrary.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <exception>
#include <optional>

namespace jx {

namespace {

const QString kPluginInterface = QStringLiteral("_IExtPluginUI");

// The reader's reason in the administrator's words.
QString readerReason(const QString &error)
{
    if (error.startsWith(QLatin1String("not a shared library")) || error.startsWith(QLatin1String("unsupported library format")))
        return QStringLiteral("不是共享库");
    if (error.startsWith(QLatin1String("damaged library file")))
        return QStringLiteral("库文件已损坏");
    if (error.startsWith(QLatin1String("the library has no type library")))
        return QStringLiteral("没有类型库说明");
    if (error.startsWith(QLatin1String("cannot open")))
        return QStringLiteral("无法读取文件（") + error + QStringLiteral("）");
    return QStringLiteral("类型库说明有误（") + error + QStringLiteral("）");
}

jx::Result<com::TypeLibrary> readTypeLibrary(const QString &path)
{
    auto library = com::TypeLibrary::loadFromFile(path);
    if (!library)
        return jx::fail(readerReason(library.error()));
    return library;
}

QString pluginFolder(const QString &programFolder)
{
    return QDir(programFolder).filePath(QStringLiteral("Plugin"));
}

} // namespace

QStringList PluginLibraries(const QString &programFolder)
{
    // Windows' "*.dll" is this platform's "*.so"; matched in any letter case.
    const QDir folder(pluginFolder(programFolder));
    QStringList paths;
    for (const QString &name : folder.entryList({QStringLiteral("*.so")}, QDir::Files, QDir::Name))
        paths << folder.filePath(name);
    return paths;
}

jx::Result<QList<CoClass>> GetCoClasses(const QString &path)
{
    const auto library = readTypeLibrary(path);
    if (!library)
        return jx::fail(library.error());
    QList<CoClass> table;
    for (const com::TypeEntry &type : library->types)
        if (type.kind == com::TKIND_COCLASS)
            table.append({type.name, type.guid});
    return table;
}

jx::Result<com::ComPtr<IUnknown>> CreateObjectFromFile(const QString &path, const QString &className,
                                                       const com::TypeLibrary *description)
{
    // Refuse early, with the reader's reason, what has no class of that name.
    std::optional<com::TypeLibrary> read;
    if (!description) {
        auto library = readTypeLibrary(path);
        if (!library)
            return jx::fail(library.error());
        read = std::move(library).value();
        description = &*read;
    }
    if (!description->findCoclass(className))
        return jx::fail(QStringLiteral("库中没有类 ") + className);
    try {
        return extplugin::createObjectFromFile(path, className, description);
    } catch (...) {
        return jx::fail(QStringLiteral("创建失败（") + com::currentErrorDescription() + QStringLiteral("）"));
    }
}

jx::Result<com::ComPtr<IExtPluginUI>> CreatePluginObject(const QString &path, const QString &progId,
                                                         const QString &className, int *registered,
                                                         const com::TypeLibrary *description)
{
    if (clsRegistryAccess().KeyExists(QStringLiteral("HKEY_CLASSES_ROOT\\") + progId)) {
        if (registered)
            *registered = CreatedByProgId;
        return extplugin::createPlugin(progId);
    }
    if (registered)
        *registered = CreatedFromFile;
    const auto object = CreateObjectFromFile(path, className, description);
    if (!object)
        return jx::fail(object.error());
    return extplugin::pluginOf(object->get());
}

namespace {

// One library's rows or its rejection appended to `scan`; a raised error's
// full description goes to `raised` as well, for the log.
void scanLibrary(IDispatch *context, const QString &path, PluginScan &scan, QString *raised)
{
    const qsizetype rowsBefore = scan.rows.size();
    QString reason;
    try {
        const auto library = readTypeLibrary(path);
        if (!library)
            throw com::RuntimeError(com::errors::CannotCreateObject, QString(), library.error() + QStringLiteral("：") + path);
        const QString libraryName = library->name.trimmed();
        bool anyPlugin = false;
        for (const com::TypeEntry &type : library->coclasses()) {
            for (const com::InterfaceRef &implemented : type.implemented) {
                if (implemented.name != kPluginInterface)
                    continue;
                anyPlugin = true;
                PluginRow row;
                row.descriptor.path = path;
                row.descriptor.className = type.name.trimmed();
                row.descriptor.progId = libraryName + QLatin1Char('.') + row.descriptor.className;
                const auto created = CreatePluginObject(path, row.descriptor.progId, row.descriptor.className,
                                                        &row.descriptor.registered, &*library);
                if (!created) {
                    reason = created.error();
                    continue;
                }
                const com::ComPtr<IExtPluginUI> &plugin = *created;
                extplugin::startPlugin(plugin.get(), context, {});
                row.friendlyName = extplugin::pluginFriendlyName(plugin.get());
                row.author = extplugin::pluginAuthor(plugin.get());
                row.description = extplugin::pluginDescription(plugin.get());
                // The row is kept before Clear: a plug-in that fails there
                // is still listed, and the failure logged.
                scan.rows.append(row);
                VARIANT_BOOL cleared = VARIANT_FALSE;
                com::throwIfFailed(plugin->Clear(&cleared), QStringLiteral("LoadPlugin"));
            }
        }
        if (!anyPlugin)
            reason = QStringLiteral("没有实现“_IExtPluginUI”的类");
    } catch (...) {
        reason = com::currentErrorDescription();
        if (raised)
            *raised = reason;
    }
    if (scan.rows.size() == rowsBefore) {
        // The list names the file already.
        const QString atPath = QStringLiteral("：") + path;
        if (reason.endsWith(atPath))
            reason.chop(atPath.size());
        scan.rejected.append({path, reason});
    }
}

} // namespace

PluginScan ScanLibrary(IDispatch *context, const QString &path)
{
    PluginScan scan;
    scanLibrary(context, path, scan, nullptr);
    return scan;
}

PluginScan LoadPlugin(IDispatch *context, const QString &programFolder)
{
    PluginScan scan;
    for (const QString &path : PluginLibraries(programFolder)) {
        // One broken library must not hide the ones after it.
        QString raised;
        scanLibrary(context, path, scan, &raised);
        if (raised.isEmpty())
            continue;
        try {
            WriteLog(QStringLiteral("LoadPlugin") + raised, LogError, QString());
        } catch (const std::exception &) {
            // without a log the library is still listed with its reason
        }
    }
    return scan;
}

} // namespace jx
