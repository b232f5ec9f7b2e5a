#pragma once

// The class factory a server library hands out from DllGetClassObject for
// one of its classes. `T` is default-constructible and starts with one
// reference (as every com::RefCounted object does).

#include "platform/com/RefCounted.h"
#include "platform/com/Unknown.h"

#include <new>

namespace com {

template<typename T>
class ClassFactory final : public IClassFactory, public RefCounted<ClassFactory<T>>
{
public:
    HRESULT QueryInterface(REFIID riid, void **ppv) override
    {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (riid != IID_IUnknown && riid != IID_IClassFactory)
            return E_NOINTERFACE;
        *ppv = static_cast<IClassFactory *>(this);
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return this->addReference(); }
    ULONG Release() override { return this->releaseReference(); }
    HRESULT CreateInstance(IUnknown *outer, REFIID riid, void **ppv) override
    {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        T *object = new (std::nothrow) T();
        if (!object)
            return E_OUTOFMEMORY;
        const HRESULT hr = object->QueryInterface(riid, ppv);
        object->Release(); // the caller's reference, if any, keeps it alive
        return hr;
    }
    HRESULT LockServer(int32_t) override { return S_OK; }

    // DllGetClassObject's answer for this class.
    static HRESULT get(REFIID riid, void **ppv)
    {
        auto *factory = new (std::nothrow) ClassFactory<T>();
        if (!factory)
            return E_OUTOFMEMORY;
        const HRESULT hr = factory->QueryInterface(riid, ppv);
        factory->Release();
        return hr;
    }
};

} // namespace com
