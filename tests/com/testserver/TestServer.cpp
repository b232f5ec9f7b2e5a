// A small server library the object-model tests build, register and create.

#include "platform/com/Bstr.h"
#include "platform/com/ClassFactory.h"
#include "platform/com/DispatchImpl.h"
#include "platform/com/InprocServer.h"

#include <cstdlib>

QV_TYPE_LIBRARY("library qvTestServer 1.2 {6C1D2E90-3A4B-4C5D-8E9F-0A1B2C3D4E5F}\n"
                "interface _Greeter {6C1D2E91-3A4B-4C5D-8E9F-0A1B2C3D4E5F}\n"
                "coclass Greeter {6C1D2E92-3A4B-4C5D-8E9F-0A1B2C3D4E5F}\n"
                "  implements _Greeter {6C1D2E91-3A4B-4C5D-8E9F-0A1B2C3D4E5F}\n");

namespace {

// Lets the tests see whether any code of this library has run.
__attribute__((constructor)) void markLoaded()
{
    setenv("QV_TESTSERVER_LOADED", "1", 1);
}

const CLSID kGreeter = com::guid("{6C1D2E92-3A4B-4C5D-8E9F-0A1B2C3D4E5F}");

class Greeter final : public com::DispatchImpl<IDispatch>
{
public:
    Greeter()
    {
        members().add(QStringLiteral("Hello"), [](const com::DispArgs &a) {
            return com::Variant::fromString(QStringLiteral("Hello, ") + com::toQVariant(*a.at(0)).toString());
        });
        // Writes through its by-reference argument.
        members().add(QStringLiteral("Shout"), [](const com::DispArgs &a) {
            VARIANT *arg = a.at(0);
            if (arg->vt != (VT_BSTR | VT_BYREF))
                throw com::RuntimeError::of(com::errors::TypeMismatch, QStringLiteral("Greeter"));
            const QString upper = com::fromBstr(*arg->pbstrVal).toUpper();
            SysFreeString(*arg->pbstrVal);
            *arg->pbstrVal = com::toBstr(upper);
            return com::Variant::fromBool(true);
        });
        members().add(QStringLiteral("Fail"), [](const com::DispArgs &) -> com::Variant {
            throw com::RuntimeError(5, QStringLiteral("Greeter"), QStringLiteral("bad call"));
        });
    }
};

com::TypeLibrary ownLibrary()
{
    return *com::TypeLibrary::parse(QString::fromUtf8(qvTypeLibrary));
}

} // namespace

QV_SERVER_EXPORT HRESULT DllGetClassObject(const CLSID &clsid, const IID &iid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (clsid != kGreeter)
        return CLASS_E_CLASSNOTAVAILABLE;
    return com::ClassFactory<Greeter>::get(iid, ppv);
}

QV_SERVER_EXPORT HRESULT DllCanUnloadNow()
{
    return S_FALSE;
}

QV_SERVER_EXPORT HRESULT DllRegisterServer()
{
    return com::InprocServer::registerLibrary(ownLibrary(),
                                              com::InprocServer::modulePathOf(reinterpret_cast<void *>(&DllRegisterServer)));
}

QV_SERVER_EXPORT HRESULT DllUnregisterServer()
{
    return com::InprocServer::unregisterLibrary(ownLibrary());
}
