#pragma once

// The four entry points of a server library, written once. A library lists
// the classes it serves in a table with internal linkage and expands
// QV_SERVER_ENTRY_POINTS over it, after its QV_TYPE_LIBRARY description:
//
//   namespace {
//   const com::ServedClass kClasses[] = {com::servedClass<Greeter>(kGreeter)};
//   }
//   QV_SERVER_ENTRY_POINTS(kClasses)
//
// Registration reads the description from the file that holds the table (never
// through a symbol, which another loaded library could answer), refuses a
// description that cannot be parsed or names a class the table lacks, and
// confirms each ProgID afterwards. The reason for a failure is left in the
// thread's error record for the caller (regsvr prints it).

#include "platform/com/ClassFactory.h"
#include "platform/com/InprocServer.h"

#include <QString>

#include <functional>
#include <span>

namespace com {

struct ServedClass
{
    CLSID clsid;
    HRESULT (*classObject)(REFIID iid, void **ppv);
};

template<typename T>
constexpr ServedClass servedClass(const CLSID &clsid)
{
    return {clsid, &ClassFactory<T>::get};
}

class QVCOM_EXPORT ServerModule
{
public:
    static HRESULT getClassObject(std::span<const ServedClass> classes, REFCLSID clsid, REFIID iid, void **ppv);
    // Further keys a library writes beside its classes (a control's status
    // flags, its type library); a failure refuses the registration with its reason.
    using ExtraKeys = std::function<jx::Result<>(const QString &libraryPath)>;

    // The library is the one whose file holds `classes`.
    static HRESULT registerServer(std::span<const ServedClass> classes, const ExtraKeys &extra = {});
    static HRESULT unregisterServer(std::span<const ServedClass> classes, const ExtraKeys &extra = {});
};

} // namespace com

// Libraries are loaded once and never unloaded, so DllCanUnloadNow always declines.
#define QV_SERVER_ENTRY_POINTS(classes) QV_SERVER_ENTRY_POINTS_WITH_KEYS(classes, {}, {})

// The same, with functions (ServerModule::ExtraKeys) that write and remove further keys.
#define QV_SERVER_ENTRY_POINTS_WITH_KEYS(classes, registerKeys, unregisterKeys)                  \
    QV_SERVER_EXPORT HRESULT DllGetClassObject(const CLSID &clsid, const IID &iid, void **ppv) \
    {                                                                                            \
        return com::ServerModule::getClassObject(classes, clsid, iid, ppv);                      \
    }                                                                                            \
    QV_SERVER_EXPORT HRESULT DllCanUnloadNow()                                                   \
    {                                                                                            \
        return S_FALSE;                                                                          \
    }                                                                                            \
    QV_SERVER_EXPORT HRESULT DllRegisterServer()                                                 \
    {                                                                                            \
        return com::ServerModule::registerServer(classes, registerKeys);                         \
    }                                                                                            \
    QV_SERVER_EXPORT HRESULT DllUnregisterServer()                                               \
    {                                                                                            \
        return com::ServerModule::unregisterServer(classes, unregisterKeys);                     \
    }
