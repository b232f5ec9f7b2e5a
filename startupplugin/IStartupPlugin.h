#pragma once

// The contract of a start-up plug-in: a registered class the console creates
// by ProgID during start-up and drives as Settings (filled) -> Start -> Run ->
// LastError -> Name -> Stop. Dual interface; after the three IUnknown and four
// IDispatch entries come these thirteen members, in this order. Every member
// returns an HRESULT and passes its result through the final out pointer.

#include "startupplugin/StartupError.h"
#include "startupplugin/StartupSettings.h"

struct IStartupPlugin : IDispatch
{
    virtual HRESULT get_Description(BSTR *result) = 0;
    virtual HRESULT get_Author(BSTR *result) = 0;
    virtual HRESULT get_Version(BSTR *result) = 0;
    // The class's ProgID.
    virtual HRESULT get_ProgID(BSTR *result) = 0;
    // The name the console records when the plug-in has run.
    virtual HRESULT get_Name(BSTR *result) = 0;
    // True between Start and Stop.
    virtual HRESULT get_Running(VARIANT_BOOL *result) = 0;
    // The plug-in's work. sCommandLine: address of the caller's string; the
    // result text is the plug-in's own (the console ignores it).
    virtual HRESULT Run(BSTR *sCommandLine, BSTR *result) = 0;
    virtual HRESULT Start() = 0;
    virtual HRESULT Stop() = 0;
    // Empties LastError.
    virtual HRESULT ClearError() = 0;
    // The settings object, with a new reference; the caller writes into it.
    virtual HRESULT get_Settings(StartupSettings **result) = 0;
    // The result text of the last Run.
    virtual HRESULT get_Result(BSTR *result) = 0;
    // The error of the last call, with a new reference; Description "" means none.
    virtual HRESULT get_LastError(StartupError **result) = 0;
};

#define QV_IID_ISTARTUPPLUGIN "{903BC105-D797-48E0-9F1F-7F382ACCEC19}"
constexpr IID IID_IStartupPlugin = com::guidLiteral(QV_IID_ISTARTUPPLUGIN);
