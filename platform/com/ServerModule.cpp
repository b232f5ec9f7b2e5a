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

// The description of the library whose file holds `classes`, checked against them.
std::optional<TypeLibrary> ownLibrary(std::span<const ServedClass> classes, QString *path, QString *error)
{
    *path = InprocServer::modulePathOf(classes.data());
    if (path->isEmpty()) {
        *error = QStringLiteral("the file of the library cannot be found");
        return std::nullopt;
    }
    QString why;
    std::optional<TypeLibrary> lib = TypeLibrary::loadFromFile(*path, &why);
    if (!lib) {
        *error = QStringLiteral("%1: %2").arg(*path, why);
        return std::nullopt;
    }
    for (const TypeEntry &c : lib->coclasses()) {
        const bool served = std::any_of(classes.begin(), classes.end(),
                                        [&](const ServedClass &s) { return s.clsid == c.guid; });
        if (!served) {
            *error = QStringLiteral("%1: the class %2 of its type library is not served by it").arg(*path, c.name);
            return std::nullopt;
        }
    }
    return lib;
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
        QString path, error;
        const std::optional<TypeLibrary> lib = ownLibrary(classes, &path, &error);
        if (!lib)
            return fail("DllRegisterServer", error);
        const HRESULT hr = InprocServer::registerLibrary(*lib, path, &error);
        if (FAILED(hr))
            return fail("DllRegisterServer", error);
        if (extra && !extra(path, &error))
            return fail("DllRegisterServer", error);
        return hr;
    });
}

HRESULT ServerModule::unregisterServer(std::span<const ServedClass> classes, const ExtraKeys &extra)
{
    return guardedRegistration("DllUnregisterServer", [&] {
        QString path, error;
        const std::optional<TypeLibrary> lib = ownLibrary(classes, &path, &error);
        if (!lib)
            return fail("DllUnregisterServer", error);
        if (extra && !extra(path, &error))
            return fail("DllUnregisterServer", error);
        const HRESULT hr = InprocServer::unregisterLibrary(*lib, &error);
        return FAILED(hr) ? fail("DllUnregisterServer", error) : hr;
    });
}

} // namespace com
