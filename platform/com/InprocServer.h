#pragma once

// In-process server libraries. A server library exports four C entry points:
//   HRESULT DllGetClassObject(const CLSID&, const IID&, void**)
//   HRESULT DllCanUnloadNow()
//   HRESULT DllRegisterServer()
//   HRESULT DllUnregisterServer()
// and carries its type-library description (TypeLibrary.h). Libraries are
// loaded once and stay loaded until the process ends.

#include "platform/com/Result.h"
#include "platform/com/TypeLibrary.h"
#include "platform/com/Unknown.h"

#include <QString>

namespace com {

using DllGetClassObjectFn = HRESULT (*)(const CLSID &, const IID &, void **);
using DllRegisterFn = HRESULT (*)();

class QVCOM_EXPORT InprocServer
{
public:
    // True when the library at `path` is already loaded in this process.
    static bool isLoaded(const QString &path);
    // Loads the library (or returns the loaded one); a failure says why it would not load.
    static jx::Result<void *> load(const QString &path);
    // Asks the library's class factory for `clsid`. Success always comes with
    // a non-null `*ppv`: a library answering success with nothing, or throwing,
    // gets a failure with the reason in the error record.
    static HRESULT getClassObject(const QString &path, REFCLSID clsid, REFIID iid, void **ppv);
    // The same for a library `load` gave (`path` names it in a failure):
    // loading it again to find it would walk every loaded library once more.
    static HRESULT getClassObject(void *module, const QString &path, REFCLSID clsid, REFIID iid, void **ppv);
    // Calls DllRegisterServer or DllUnregisterServer of the library.
    static HRESULT callRegistration(const QString &path, bool registerServer);

    // For use inside a server library (ServerModule does it for the entry
    // points): writes the registry entries of every coclass of `library`
    // (ProgID = library name + "." + class name) in one change, then looks each
    // ProgID up again to confirm it leads to `modulePath`. A failure says why;
    // one that stops the change leaves the registry as it was.
    static jx::Result<> registerLibrary(const TypeLibrary &library, const QString &modulePath);
    static jx::Result<> unregisterLibrary(const TypeLibrary &library);
    // The file of the module that contains `address`.
    static QString modulePathOf(const void *address);
};

} // namespace com

// Marks a server library's entry points.
#define QV_SERVER_EXPORT extern "C" __attribute__((visibility("default")))
