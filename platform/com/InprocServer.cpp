#include "platform/com/InprocServer.h"

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
    void *module = InprocServer::load(path);
    return module ? dlsym(module, name) : nullptr;
}

} // namespace

bool InprocServer::isLoaded(const QString &path)
{
    void *h = dlopen(nativePath(path).constData(), RTLD_NOW | RTLD_NOLOAD);
    if (h)
        dlclose(h); // only drops the reference NOLOAD added
    return h != nullptr;
}

void *InprocServer::load(const QString &path, QString *error)
{
    // Never closed: objects and factories of the library may outlive any caller.
    void *h = dlopen(nativePath(path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!h && error)
        *error = QString::fromLocal8Bit(dlerror());
    return h;
}

HRESULT InprocServer::getClassObject(const QString &path, REFCLSID clsid, REFIID iid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    auto fn = reinterpret_cast<DllGetClassObjectFn>(entry(path, "DllGetClassObject"));
    if (!fn)
        return CLASS_E_CLASSNOTAVAILABLE;
    return fn(clsid, iid, ppv);
}

HRESULT InprocServer::callRegistration(const QString &path, bool registerServer)
{
    auto fn = reinterpret_cast<DllRegisterFn>(entry(path, registerServer ? "DllRegisterServer" : "DllUnregisterServer"));
    if (!fn)
        return SELFREG_E_CLASS;
    return fn();
}

HRESULT InprocServer::registerLibrary(const TypeLibrary &library, const QString &modulePath)
{
    const QString root = QStringLiteral("HKEY_CLASSES_ROOT\\");
    for (const TypeEntry &c : library.coclasses()) {
        const QString progId = library.name + QLatin1Char('.') + c.name;
        const QString clsidKey = root + QStringLiteral("CLSID\\") + guidToString(c.guid);
        bool ok = RegistryStore::setValue(root + progId, QString(), c.name)
            && RegistryStore::setValue(root + progId + QStringLiteral("\\CLSID"), QString(), guidToString(c.guid))
            && RegistryStore::setValue(clsidKey, QString(), c.name)
            && RegistryStore::setValue(clsidKey + QStringLiteral("\\InprocServer32"), QString(), modulePath)
            && RegistryStore::setValue(clsidKey + QStringLiteral("\\ProgID"), QString(), progId);
        if (!ok)
            return SELFREG_E_CLASS;
    }
    return S_OK;
}

HRESULT InprocServer::unregisterLibrary(const TypeLibrary &library)
{
    const QString root = QStringLiteral("HKEY_CLASSES_ROOT\\");
    for (const TypeEntry &c : library.coclasses()) {
        RegistryStore::deleteTree(root + library.name + QLatin1Char('.') + c.name);
        RegistryStore::deleteTree(root + QStringLiteral("CLSID\\") + guidToString(c.guid));
    }
    return S_OK;
}

QString InprocServer::modulePathOf(const void *address)
{
    Dl_info info{};
    if (dladdr(address, &info) == 0 || !info.dli_fname)
        return QString();
    return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absoluteFilePath();
}

} // namespace com
