#pragma once

// The error of a start-up plug-in's last call. Dual interface; after the
// IDispatch entries come its own members in this order.

#include "platform/com/Guid.h"
#include "platform/com/Unknown.h"

struct StartupError : IDispatch
{
    virtual HRESULT get_Number(int32_t *result) = 0;
    // The empty string means no error.
    virtual HRESULT get_Description(BSTR *result) = 0;
    virtual HRESULT get_Source(BSTR *result) = 0;
};

#define QV_IID_STARTUPERROR "{375A60AF-8B24-44B0-B194-92A85C92FADC}"
constexpr IID IID_StartupError = com::guidLiteral(QV_IID_STARTUPERROR);
