#include "platform/com/ServerModule.h"

#include "platform/com/ErrorInfo.h"

#include <algorithm>

namespace com {

namespace {

HRESULT fail(const char *entryPoint, const QString &why)
{
    setErrorInfo({errorNumberFromHresult(SELFREG_E_CLASS), QString::fromLatin1(entryPoint), why});
    return SELFREG_E_CLASS;
}

struct OwnLibrary
{
    QString path;
    TypeLibrary library;
};

// The description of the library whose file holds `classes`, checked against them.
jx::Result<OwnLibrary> ownLibrary(std::span<const ServedClass> classes)
{
    const QString path = InprocServer::modulePathOf(classes.data());
    if (path.isEmpty())
        return jx::fail(QStringLiteral("the file of the library cannot be found"));
    auto lib = TypeLibrary::loadFromFile(path);
    if (!lib)
        return jx::fail(QStringLiteral("%1: %2").arg(path, lib.error()));
    for (const TypeEntry &c : lib->coclasses()) {
        const bool served = std::any_of(classes.begin(), classes.end(),
                                        [&](const ServedClass &s) { return s.clsid == c.guid; });
        if (!served)
            return jx::fail(QStringLiteral("%1: the class %2 of its type library is not served by it").arg(path, c.name));
    }
    return OwnLibrary{path, std::move(lib).value()};
}

template<typename F>
HRESULT guardedRegistration(const char *entryPoint, F &&body)
{
    clearErrorInfo();
    try {
        return body();
    } catch (const std::exception &e) {
        return fail(entryPoint, QString::fromLocal8Bit(e.what()));
    } catch (...) {
        return fail(entryPoint, QStringLiteral("unexpected failure"));
    }
}

} // namespace

HRESULT ServerModule::getClassObject(std::span<const ServedClass> classes, REFCLSID clsid, REFIID iid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    for (const ServedClass &c : classes) {
        if (c.clsid == clsid)
            return c.classObject(iid, ppv);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT ServerModule::registerServer(std::span<const ServedClass> classes, const ExtraKeys &extra)
{
    return guardedRegistration("DllRegisterServer", [&] {
        const auto own = ownLibrary(classes);
        if (!own)
            return fail("DllRegisterServer", own.error());
        if (const auto registered = InprocServer::registerLibrary(own->library, own->path); !registered)
            return fail("DllRegisterServer", registered.error());
        if (extra) {
            if (const auto written = extra(own->path); !written)
                return fail("DllRegisterServer", written.error());
        }
        return S_OK;
    });
}

HRESULT ServerModule::unregisterServer(std::span<const ServedClass> classes, const ExtraKeys &extra)
{
    return guardedRegistration("DllUnregisterServer", [&] {
        const auto own = ownLibrary(classes);
        if (!own)
            return fail("DllUnregisterServer", own.error());
        if (extra) {
            if (const auto removed = extra(own->path); !removed)
                return fail("DllUnregisterServer", removed.error());
        }
        if (const auto unregistered = InprocServer::unregisterLibrary(own->library); !unregistered)
            return fail("DllUnregisterServer", unregistered.error());
        return S_OK;
    });
}

} // namespace com
