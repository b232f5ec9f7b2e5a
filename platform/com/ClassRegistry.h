#pragma once

// Object creation by class id and by ProgID. Classes come from two places:
// classes built into the program (registered at start-up with
// registerBuiltinClass) and in-process server libraries found through the
// registry (HKEY_CLASSES_ROOT\<ProgID>\CLSID and
// HKEY_CLASSES_ROOT\CLSID\{clsid}\InprocServer32).

#include "platform/com/ComPtr.h"
#include "platform/com/RuntimeError.h"

#include <QString>

#include <functional>

namespace com {

// Creates a new object and answers `iid` on it.
using ClassCreator = std::function<HRESULT(REFIID iid, void **ppv)>;

QVCOM_EXPORT void registerBuiltinClass(const CLSID &clsid, const QString &progId, ClassCreator creator);
QVCOM_EXPORT void unregisterBuiltinClass(const CLSID &clsid);

QVCOM_EXPORT HRESULT clsidFromProgId(const QString &progId, CLSID *clsid);
QVCOM_EXPORT HRESULT createInstance(REFCLSID clsid, REFIID iid, void **ppv);

// CreateObject: by ProgID, asking for IDispatch. Raises run-time error 429
// error 429 when the class cannot be created.
QVCOM_EXPORT ComPtr<IDispatch> createObject(const QString &progId);

} // namespace com
