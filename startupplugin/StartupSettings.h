#pragma once

// The values the console hands a start-up plug-in before starting it. Dual
// interface; after the IDispatch entries come its own members in this order
// (the console writes through positions 2, 6, 8, 10 and 12).

#include "platform/com/Guid.h"
#include "platform/com/Unknown.h"

struct StartupSettings : IDispatch
{
    virtual HRESULT get_ConfigFile(BSTR *result) = 0;
    virtual HRESULT put_ConfigFile(BSTR value) = 0;
    // Further named values (a plug-in's own options); "" for a name never set.
    virtual HRESULT get_Value(BSTR name, BSTR *result) = 0;
    virtual HRESULT put_Value(BSTR name, BSTR value) = 0;
    virtual HRESULT get_CompanyName(BSTR *result) = 0;
    virtual HRESULT put_CompanyName(BSTR value) = 0;
    virtual HRESULT get_SystemNumber(int32_t *result) = 0;
    virtual HRESULT put_SystemNumber(int32_t value) = 0;
    virtual HRESULT get_AppPath(BSTR *result) = 0;
    virtual HRESULT put_AppPath(BSTR value) = 0;
    virtual HRESULT get_Caption(BSTR *result) = 0;
    virtual HRESULT put_Caption(BSTR value) = 0;
};

#define QV_IID_STARTUPSETTINGS "{B17CEAE8-8135-4F6F-985A-F3A4240B39C6}"
constexpr IID IID_StartupSettings = com::guidLiteral(QV_IID_STARTUPSETTINGS);
