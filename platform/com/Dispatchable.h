#pragma once

// Base of every automation object of the product: one C++ class is both the
// early-bound object and its automation face. Members are described once per
// class in a MemberTable (names case-insensitive, DISPIDs their 1-based
// positions) and invoked on the object itself. A window control, whose
// members are its widget's properties and what its class adds as it builds
// the widget, keeps a table per object instead (`members()` not static).
//
// Objects are reference-counted. Copies get an identity and a count of their
// own, so value-like objects (a recordset, a query result) can be handed out as
// heap copies. An object that lives inside another (the environment inside the
// application context) forwards its count to that owner, so a reference to the
// part keeps the whole alive.

#include "platform/com/ErrorInfo.h"
#include "platform/com/Guid.h"
#include "platform/com/RefCounted.h"
#include "platform/com/Variant.h"

#include <QString>

#include <atomic>
#include <functional>
#include <vector>

namespace com {

// Arguments in natural order; each points into the caller's DISPPARAMS, so a
// by-reference argument can be written through.
using DispArgs = std::vector<VARIANT *>;
using DispGetter = std::function<Variant(const DispArgs &)>;
using DispSetter = std::function<void(const DispArgs &, const VARIANT &)>;

// Unpacks an Invoke call and runs `get` or `set`; run-time errors become
// DISP_E_EXCEPTION with EXCEPINFO and the thread's error record.
QVCOM_EXPORT HRESULT invokeMember(uint16_t flags, DISPPARAMS *params, VARIANT *result, EXCEPINFO *excep,
                                  const std::function<Variant(const DispArgs &)> &get,
                                  const std::function<void(const DispArgs &, const VARIANT &)> &set);

// GetIDsOfNames for a member lookup `find` (name -> DISPID or DISPID_UNKNOWN):
// only the first name, a member, is known; named arguments are not.
template<typename Find>
HRESULT idsOfNames(OLECHAR **names, uint32_t count, DISPID *ids, Find &&find)
{
    if (!names || !ids)
        return E_POINTER;
    HRESULT hr = S_OK;
    for (uint32_t i = 0; i < count; ++i) {
        ids[i] = i == 0 ? find(QString::fromUtf16(names[i])) : DISPID_UNKNOWN;
        if (ids[i] == DISPID_UNKNOWN)
            hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
}

// Argument helpers for member bodies: a missing or empty optional argument
// gives the default; conversions follow the product's lenient rules.
QVCOM_EXPORT int argCount(const DispArgs &args);
QVCOM_EXPORT QString argText(const DispArgs &args, int index, const QString &fallback = QString());
QVCOM_EXPORT int32_t argInt(const DispArgs &args, int index, int32_t fallback = 0);
QVCOM_EXPORT bool argBool(const DispArgs &args, int index, bool fallback = false);
QVCOM_EXPORT IDispatch *argObject(const DispArgs &args, int index);
// Raises "参数不可选" style invalid-call error when fewer than `count` arguments came.
QVCOM_EXPORT void requireArgs(const DispArgs &args, int count);

template<typename T>
class MemberTable
{
public:
    using Getter = std::function<Variant(T &, const DispArgs &)>;
    using Setter = std::function<void(T &, const DispArgs &, const VARIANT &)>;

    MemberTable &add(const QString &name, Getter get, Setter set = nullptr)
    {
        m_members.push_back({name, std::move(get), std::move(set)});
        return *this;
    }
    // For a table kept per object, whose bodies know their object already.
    MemberTable &add(const QString &name, DispGetter get, DispSetter set = nullptr)
    {
        Getter g = get ? Getter([get = std::move(get)](T &, const DispArgs &a) { return get(a); }) : Getter();
        Setter s = set ? Setter([set = std::move(set)](T &, const DispArgs &a, const VARIANT &v) { set(a, v); }) : Setter();
        return add(name, std::move(g), std::move(s));
    }
    DISPID find(const QString &name) const
    {
        for (size_t i = 0; i < m_members.size(); ++i)
            if (m_members[i].name.compare(name, Qt::CaseInsensitive) == 0)
                return static_cast<DISPID>(i + 1);
        return DISPID_UNKNOWN;
    }
    HRESULT invoke(T &self, DISPID id, uint16_t flags, DISPPARAMS *params, VARIANT *result, EXCEPINFO *excep) const
    {
        if (id < 1 || static_cast<size_t>(id) > m_members.size())
            return DISP_E_MEMBERNOTFOUND;
        const Member &m = m_members[static_cast<size_t>(id - 1)];
        std::function<Variant(const DispArgs &)> get;
        std::function<void(const DispArgs &, const VARIANT &)> set;
        if (m.get)
            get = [&](const DispArgs &a) { return m.get(self, a); };
        if (m.set)
            set = [&](const DispArgs &a, const VARIANT &v) { m.set(self, a, v); };
        return invokeMember(flags, params, result, excep, get, set);
    }

private:
    struct Member
    {
        QString name;
        Getter get;
        Setter set;
    };
    std::vector<Member> m_members;
};

// `Derived` provides `static const com::MemberTable<Derived> &members();`
// (none: no late-bound members) and may declare (public):
// - `static constexpr IID kInterfaceIid`: the IID of `Interface` when that is
//   an interface of its own (a dual interface deriving from IDispatch);
// - `static constexpr const char *kClassIid`, when other modules must reach
//   the C++ object behind a face (see implementationOf);
// - `void *queryExtra(REFIID)`: a further interface it answers (null for none).
template<typename Derived, typename Interface = IDispatch>
class Dispatchable : public Interface, public RefCounted<Derived>
{
public:
    Dispatchable() = default;
    Dispatchable(const Dispatchable &other) : Interface(), RefCounted<Derived>(other) {}
    Dispatchable &operator=(const Dispatchable &) { return *this; }

    HRESULT QueryInterface(REFIID riid, void **ppv) override
    {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (riid == IID_IUnknown || riid == IID_IDispatch || isInterfaceIid(riid)) {
            *ppv = static_cast<Interface *>(this);
        } else if (isClassIid(riid)) {
            *ppv = static_cast<Derived *>(this);
        } else if (void *other = extra(riid)) {
            *ppv = other;
        } else {
            return E_NOINTERFACE;
        }
        this->AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return m_owner ? m_owner->AddRef() : this->addReference(); }
    ULONG Release() override { return m_owner ? m_owner->Release() : this->releaseReference(); }

    HRESULT GetTypeInfoCount(uint32_t *pctinfo) override
    {
        if (!pctinfo)
            return E_POINTER;
        *pctinfo = 0;
        return S_OK;
    }
    HRESULT GetTypeInfo(uint32_t, LCID, ITypeInfo **ppTInfo) override
    {
        if (ppTInfo)
            *ppTInfo = nullptr;
        return E_NOTIMPL;
    }
    HRESULT GetIDsOfNames(REFIID, OLECHAR **names, uint32_t count, LCID, DISPID *ids) override
    {
        return idsOfNames(names, count, ids, [this](const QString &name) { return table().find(name); });
    }
    HRESULT Invoke(DISPID id, REFIID, LCID, uint16_t flags, DISPPARAMS *params, VARIANT *result, EXCEPINFO *excep,
                   uint32_t *) override
    {
        return table().invoke(self(), id, flags, params, result, excep);
    }

    // This object as an automation object, with a new reference.
    Variant toVariant() { return Variant::fromDispatch(this); }

protected:
    // The object's lifetime follows `owner` (which must outlive every direct use).
    void setLifetimeOwner(IUnknown *owner) { m_owner = owner; }

private:
    Derived &self() { return static_cast<Derived &>(*this); }
    // The class's members; none for a class that is reached early-bound only.
    decltype(auto) table()
    {
        if constexpr (requires { self().members(); }) {
            return self().members();
        } else {
            static const MemberTable<Derived> none;
            return (none);
        }
    }

    static bool isInterfaceIid(REFIID riid)
    {
        if constexpr (requires { Derived::kInterfaceIid; })
            return riid == Derived::kInterfaceIid;
        else
            return false;
    }
    static bool isClassIid(REFIID riid)
    {
        if constexpr (requires { Derived::kClassIid; })
            return riid == com::guid(Derived::kClassIid);
        else
            return false;
    }
    void *extra(REFIID riid)
    {
        if constexpr (requires(Derived &d) { d.queryExtra(riid); })
            return self().queryExtra(riid);
        else
            return nullptr;
    }

    IUnknown *m_owner = nullptr;
};

// A new object of T as an automation value (the variant holds the only reference).
template<typename T, typename... Args>
Variant newObject(Args &&...args)
{
    T *object = new T(std::forward<Args>(args)...);
    Variant v = Variant::fromDispatch(object);
    object->Release();
    return v;
}

// A heap copy of a value-like object as an automation object.
template<typename T>
Variant faceOf(const T &value)
{
    return newObject<T>(value);
}

// The C++ object behind an automation object made by this product (any
// module), or null when the object is of another kind. No reference is added.
template<typename T>
T *implementationOf(IUnknown *object)
{
    if (!object)
        return nullptr;
    void *p = nullptr;
    if (FAILED(object->QueryInterface(com::guid(T::kClassIid), &p)) || !p)
        return nullptr;
    T *impl = static_cast<T *>(p);
    impl->Release();
    return impl;
}

} // namespace com
