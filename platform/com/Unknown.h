#pragma once

// The three base interfaces of the object model, with the member order of the
// original platform: every interface declared later has its own members after
// the three IUnknown entries (and, when dual, after the four IDispatch entries).
// No virtual destructors: one would add vtable slots and shift every member.

#include "platform/com/ComTypes.h"

struct VARIANT;
struct DISPPARAMS;
struct EXCEPINFO;
struct ITypeInfo;

struct IUnknown
{
    virtual HRESULT QueryInterface(REFIID riid, void **ppvObject) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
};

struct IDispatch : IUnknown
{
    virtual HRESULT GetTypeInfoCount(uint32_t *pctinfo) = 0;
    virtual HRESULT GetTypeInfo(uint32_t iTInfo, LCID lcid, ITypeInfo **ppTInfo) = 0;
    virtual HRESULT GetIDsOfNames(REFIID riid, OLECHAR **rgszNames, uint32_t cNames, LCID lcid,
                                  DISPID *rgDispId) = 0;
    virtual HRESULT Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, uint16_t wFlags, DISPPARAMS *pDispParams,
                           VARIANT *pVarResult, EXCEPINFO *pExcepInfo, uint32_t *puArgErr) = 0;
};

struct IClassFactory : IUnknown
{
    virtual HRESULT CreateInstance(IUnknown *pUnkOuter, REFIID riid, void **ppvObject) = 0;
    virtual HRESULT LockServer(int32_t fLock) = 0;
};

// {00000000-0000-0000-C000-000000000046}
constexpr IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// {00020400-0000-0000-C000-000000000046}
constexpr IID IID_IDispatch = {0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// {00000001-0000-0000-C000-000000000046}
constexpr IID IID_IClassFactory = {0x00000001, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
