#pragma once

// Out-parameters of the plug-in interface's members, filled the one way every
// plug-in class answers them.

#include "platform/com/Bstr.h"
#include "platform/com/Unknown.h"

#include <QString>

namespace extplugin {

inline HRESULT answer(VARIANT_BOOL *out, bool value)
{
    if (!out)
        return E_POINTER;
    *out = value ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

inline HRESULT answer(BSTR *out, const QString &value)
{
    if (!out)
        return E_POINTER;
    *out = com::toBstr(value);
    return S_OK;
}

// An object out-parameter with a new reference (null stays null).
inline HRESULT answer(IDispatch **out, IDispatch *value)
{
    if (!out)
        return E_POINTER;
    *out = value;
    if (value)
        value->AddRef();
    return S_OK;
}

} // namespace extplugin
