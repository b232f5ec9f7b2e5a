#pragma once

// Base for objects the product hands out through automation: reference
// counting, QueryInterface and late binding by member name. Members are
// registered by name (case-insensitive, as automation names are) with a
// getter/method and an optional setter; DISPIDs are their 1-based positions.

#include "platform/com/Dispatchable.h"
#include "platform/com/ErrorInfo.h"
#include "platform/com/Guid.h"
#include "platform/com/Variant.h"

#include <QString>

#include <atomic>
#include <functional>
#include <vector>

namespace com {

using DispGetter = std::function<Variant(const DispArgs &)>;
using DispSetter = std::function<void(const DispArgs &, const VARIANT &)>;

// Member table of one dispatch object.
class QVCOM_EXPORT DispatchTable
{
public:
    void add(const QString &name, DispGetter get, DispSetter set = nullptr);
    DISPID find(const QString &name) const;
    HRESULT invoke(DISPID id, uint16_t flags, DISPPARAMS *params, VARIANT *result, EXCEPINFO *excep) const;

private:
    struct Member
    {
        QString name;
        DispGetter get;
        DispSetter set;
    };
    std::vector<Member> m_members;
};

// Implements IUnknown and IDispatch for `Interface` (IDispatch or a dual
// interface deriving from it). The derived class registers its members in
// its constructor and, for a dual interface, implements the vtable members.
template<typename Interface = IDispatch>
class DispatchImpl : public Interface
{
public:
    explicit DispatchImpl(const IID &iid = IID_IDispatch) : m_iid(iid) {}
    virtual ~DispatchImpl() = default;

    HRESULT QueryInterface(REFIID riid, void **ppv) override
    {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == m_iid) {
            *ppv = static_cast<Interface *>(this);
        } else if (void *other = queryExtra(riid)) {
            *ppv = other;
        } else {
            return E_NOINTERFACE;
        }
        this->AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return ++m_refs; }
    ULONG Release() override
    {
        const ULONG left = --m_refs;
        if (left == 0)
            delete this;
        return left;
    }

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
        return idsOfNames(names, count, ids, [this](const QString &name) { return m_table.find(name); });
    }
    HRESULT Invoke(DISPID id, REFIID, LCID, uint16_t flags, DISPPARAMS *params, VARIANT *result, EXCEPINFO *excep,
                   uint32_t *) override
    {
        return m_table.invoke(id, flags, params, result, excep);
    }

protected:
    // Further interfaces a derived class answers (return null for none).
    virtual void *queryExtra(REFIID) { return nullptr; }
    DispatchTable &members() { return m_table; }

private:
    std::atomic<ULONG> m_refs{1};
    IID m_iid;
    DispatchTable m_table;
};

} // namespace com
