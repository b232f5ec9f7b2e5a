#pragma once

// The calling contract between the console and a plug-in object. Dual
// interface: after the three IUnknown and four IDispatch entries come the ten
// members below, in this order. Every member returns an HRESULT and passes its
// result through the final out pointer; Booleans are VARIANT_BOOL (-1/0).

#include "platform/com/Guid.h"
#include "platform/com/Unknown.h"

struct IExtPluginUI : IDispatch
{
    // pcSystem: address of the caller's AppContext pointer; the plug-in AddRefs what it keeps.
    virtual HRESULT Init(IDispatch **pcSystem, VARIANT_BOOL *result) = 0;
    virtual HRESULT Clear(VARIANT_BOOL *result) = 0;
    virtual HRESULT Configure(VARIANT_BOOL *result) = 0;
    // The PluginParameters collection, with a new reference.
    virtual HRESULT get_Parameters(IDispatch **result) = 0;
    // sCommandLine: address of the caller's string variable.
    virtual HRESULT Action(BSTR *sCommandLine, VARIANT_BOOL *result) = 0;
    virtual HRESULT Help(VARIANT_BOOL *result) = 0;
    // The last error (an object with Description), or null for none.
    virtual HRESULT get_Error(IDispatch **result) = 0;
    virtual HRESULT get_Description(BSTR *result) = 0;
    virtual HRESULT get_FriendlyName(BSTR *result) = 0;
    virtual HRESULT get_Author(BSTR *result) = 0;
};

#define QV_IID_IEXTPLUGINUI "{7B208C4B-37E6-4F8C-AC98-91E74163B50C}"
constexpr IID IID_IExtPluginUI = com::guidLiteral(QV_IID_IEXTPLUGINUI);
// PluginParameters class and its interface.
#define QV_CLSID_PLUGINPARAMETERS "{3876606D-60E2-4B58-BE2E-ACBE92A30695}"
constexpr CLSID CLSID_PluginParameters = com::guidLiteral(QV_CLSID_PLUGINPARAMETERS);
#define QV_IID_PLUGINPARAMETERS "{3105B329-B789-4E41-9E94-2A85251DA340}"
constexpr IID IID_PluginParameters = com::guidLiteral(QV_IID_PLUGINPARAMETERS);
#define QV_IID_PLUGINPARAMETER "{83FF62D4-C62C-41E4-8374-8691039D9740}"
constexpr IID IID_PluginParameter = com::guidLiteral(QV_IID_PLUGINPARAMETER);
