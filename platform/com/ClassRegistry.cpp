#include "platform/com/ClassRegistry.h"

#include "platform/com/ErrorInfo.h"
#include "platform/com/Guid.h"
#include "platform/com/InprocServer.h"
#include "platform/com/RegistryStore.h"
#include "platform/com/RuntimeError.h"

#include <QMutex>

#include <vector>

namespace com {

namespace {

struct Builtin
{
    CLSID clsid;
    QString progId;
    ClassCreator creator;
};

QMutex g_lock;

std::vector<Builtin> &builtins()
{
    static std::vector<Builtin> b;
    return b;
}

// Callers hold g_lock.
void removeBuiltin(const CLSID &clsid)
{
    std::erase_if(builtins(), [&](const Builtin &x) { return x.clsid == clsid; });
}

} // namespace

void registerBuiltinClass(const CLSID &clsid, const QString &progId, ClassCreator creator)
{
    QMutexLocker lock(&g_lock);
    removeBuiltin(clsid);
    builtins().push_back({clsid, progId, std::move(creator)});
}

void unregisterBuiltinClass(const CLSID &clsid)
{
    QMutexLocker lock(&g_lock);
    removeBuiltin(clsid);
}

HRESULT clsidFromProgId(const QString &progId, CLSID *clsid)
{
    if (!clsid)
        return E_POINTER;
    *clsid = GUID_NULL;
    {
        QMutexLocker lock(&g_lock);
        for (const Builtin &b : builtins()) {
            if (!b.progId.isEmpty() && b.progId.compare(progId, Qt::CaseInsensitive) == 0) {
                *clsid = b.clsid;
                return S_OK;
            }
        }
    }
    if (progId.trimmed().isEmpty() || progId.contains(QLatin1Char('\\')))
        return CO_E_CLASSSTRING;
    // A registry that cannot be read knows no class.
    const auto text = RegistryStore::value(QStringLiteral("HKEY_CLASSES_ROOT\\") + progId + QStringLiteral("\\CLSID"))
                          .valueOr(std::nullopt);
    if (!text)
        return CO_E_CLASSSTRING;
    const auto id = guidFromString(*text);
    if (!id)
        return CO_E_CLASSSTRING;
    *clsid = *id;
    return S_OK;
}

HRESULT createInstance(REFCLSID clsid, REFIID iid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    ClassCreator creator;
    {
        QMutexLocker lock(&g_lock);
        for (const Builtin &b : builtins()) {
            if (b.clsid == clsid)
                creator = b.creator;
        }
    }
    if (creator)
        return creator(iid, ppv);

    const auto path = RegistryStore::value(QStringLiteral("HKEY_CLASSES_ROOT\\CLSID\\") + guidToString(clsid)
                                           + QStringLiteral("\\InprocServer32"))
                          .valueOr(std::nullopt);
    if (!path || path->isEmpty())
        return REGDB_E_CLASSNOTREG;
    ComPtr<IClassFactory> factory;
    const HRESULT hr = InprocServer::getClassObject(*path, clsid, IID_IClassFactory, factory.putVoid());
    if (FAILED(hr))
        return hr;
    const HRESULT created = factory->CreateInstance(nullptr, iid, ppv);
    if (SUCCEEDED(created) && !*ppv)
        return reportError(RuntimeError(errors::CannotCreateObject, QStringLiteral("ClassRegistry"),
                                        errorText(errors::CannotCreateObject) + QStringLiteral("：类工厂报告成功，却没有给出对象")));
    return created;
}

ComPtr<IDispatch> createObject(const QString &progId)
{
    CLSID clsid;
    ComPtr<IDispatch> object;
    if (FAILED(clsidFromProgId(progId, &clsid)) || FAILED(createInstance(clsid, IID_IDispatch, object.putVoid())))
        throw RuntimeError::of(errors::CannotCreateObject);
    return object;
}

} // namespace com
