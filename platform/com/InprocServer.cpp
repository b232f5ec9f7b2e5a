#include "platform/com/InprocServer.h"

#include "platform/com/ErrorInfo.h"
#include "platform/com/Guid.h"
#include "platform/com/RegistryStore.h"

#include <QFileInfo>

#include <dlfcn.h>

namespace com {

namespace {

QByteArray nativePath(const QString &path)
{
    return QFileInfo(path).absoluteFilePath().toLocal8Bit();
}

void *entry(const QString &path, const char *name)
{
    // Why it would not load is not asked here: a missing entry point is the answer.
    const auto module = InprocServer::load(path);
    return module ? dlsym(*module, name) : nullptr;
}

} // namespace

bool InprocServer::isLoaded(const QString &path)
{
    void *h = dlopen(nativePath(path).constData(), RTLD_NOW | RTLD_NOLOAD);
    if (h)
        dlclose(h); // only drops the reference NOLOAD added
    return h != nullptr;
}

jx::Result<void *> InprocServer::load(const QString &path)
{
    // Never closed: objects and factories of the library may outlive any caller.
    void *h = dlopen(nativePath(path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!h)
        return jx::fail(QString::fromLocal8Bit(dlerror()));
    return h;
}

HRESULT InprocServer::getClassObject(const QString &path, REFCLSID clsid, REFIID iid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    // Why it would not load is not asked here: the class is then not available.
    const auto module = load(path);
    if (!module)
        return CLASS_E_CLASSNOTAVAILABLE;
    return getClassObject(*module, path, clsid, iid, ppv);
}

HRESULT InprocServer::getClassObject(void *module, const QString &path, REFCLSID clsid, REFIID iid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    auto fn = module ? reinterpret_cast<DllGetClassObjectFn>(dlsym(module, "DllGetClassObject")) : nullptr;
    if (!fn)
        return CLASS_E_CLASSNOTAVAILABLE;
    const auto refuse = [&](const QString &why) {
        *ppv = nullptr;
        return reportError(RuntimeError(errors::CannotCreateObject, QStringLiteral("InprocServer"),
                                        errorText(errors::CannotCreateObject) + QStringLiteral("：") + why + QStringLiteral("（")
                                            + QFileInfo(path).fileName() + QStringLiteral("）")));
    };
    HRESULT hr = E_FAIL;
    try {
        hr = fn(clsid, iid, ppv);
    } catch (...) {
        return refuse(QStringLiteral("DllGetClassObject 抛出了异常"));
    }
    // A library that claims success must hand something out; callers call through it.
    if (SUCCEEDED(hr) && !*ppv)
        return refuse(QStringLiteral("DllGetClassObject 报告成功，却没有给出类工厂"));
    return hr;
}

HRESULT InprocServer::callRegistration(const QString &path, bool registerServer)
{
    auto fn = reinterpret_cast<DllRegisterFn>(entry(path, registerServer ? "DllRegisterServer" : "DllUnregisterServer"));
    if (!fn)
        return SELFREG_E_CLASS;
    return fn();
}

jx::Result<> InprocServer::registerLibrary(const TypeLibrary &library, const QString &modulePath)
{
    const QList<TypeEntry> classes = library.coclasses();
    if (classes.isEmpty())
        return jx::fail(QStringLiteral("the type library %1 declares no class to register").arg(library.name));
    if (modulePath.isEmpty())
        return jx::fail(QStringLiteral("the file of the library %1 is unknown").arg(library.name));
    const QString root = QStringLiteral("HKEY_CLASSES_ROOT\\");
    const auto written = RegistryStore::edit([&](RegistryEdit &e) -> jx::Result<> {
        for (const TypeEntry &c : classes) {
            const QString progId = library.name + QLatin1Char('.') + c.name;
            const QString clsidKey = root + QStringLiteral("CLSID\\") + guidToString(c.guid);
            if (!(e.setValue(root + progId, QString(), c.name)
                  && e.setValue(root + progId + QStringLiteral("\\CLSID"), QString(), guidToString(c.guid))
                  && e.setValue(clsidKey, QString(), c.name)
                  && e.setValue(clsidKey + QStringLiteral("\\InprocServer32"), QString(), modulePath)
                  && e.setValue(clsidKey + QStringLiteral("\\ProgID"), QString(), progId)))
                return jx::fail(QStringLiteral("the class name %1 cannot be a registry key").arg(progId));
        }
        return {};
    });
    if (!written)
        return written;

    // Look every ProgID up the way creation will.
    for (const TypeEntry &c : classes) {
        const QString progId = library.name + QLatin1Char('.') + c.name;
        const auto clsid = RegistryStore::value(root + progId + QStringLiteral("\\CLSID"));
        if (!clsid)
            return jx::fail(clsid.error());
        std::optional<QString> server;
        if (*clsid) {
            const auto found = RegistryStore::value(root + QStringLiteral("CLSID\\") + **clsid + QStringLiteral("\\InprocServer32"));
            if (!found)
                return jx::fail(found.error());
            server = *found;
        }
        if (!*clsid || guidFromString(**clsid) != c.guid || !server || *server != modulePath)
            return jx::fail(QStringLiteral("%1 is not registered to %2 after registering").arg(progId, modulePath));
    }
    return {};
}

jx::Result<> InprocServer::unregisterLibrary(const TypeLibrary &library)
{
    const QString root = QStringLiteral("HKEY_CLASSES_ROOT\\");
    return RegistryStore::edit([&](RegistryEdit &e) -> jx::Result<> {
        for (const TypeEntry &c : library.coclasses()) {
            e.deleteTree(root + library.name + QLatin1Char('.') + c.name);
            e.deleteTree(root + QStringLiteral("CLSID\\") + guidToString(c.guid));
        }
        return {};
    });
}

QString InprocServer::modulePathOf(const void *address)
{
    Dl_info info{};
    if (dladdr(address, &info) == 0 || !info.dli_fname)
        return QString();
    return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absoluteFilePath();
}

} // namespace com
