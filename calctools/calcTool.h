#pragma once

// The calculation-tools plug-in class. Implements the console's plug-in
// interface and its own default interface `_calcTool` (late-bound `Action`).
// Which window `Action` opens comes from the "CommandLine" parameter.

#include "extplugin/IExtPluginUI.h"
#include "platform/com/ComPtr.h"
#include "platform/com/DispatchImpl.h"

// {7A0618AB-5E8C-4A8A-A16C-858685A0F121}
constexpr IID IID__calcTool = {0x7A0618AB, 0x5E8C, 0x4A8A, {0xA1, 0x6C, 0x85, 0x86, 0x85, 0xA0, 0xF1, 0x21}};

class calcTool final : public com::DispatchImpl<IExtPluginUI>
{
public:
    calcTool();

    HRESULT Init(IDispatch **pcSystem, VARIANT_BOOL *result) override;
    HRESULT Clear(VARIANT_BOOL *result) override;
    HRESULT Configure(VARIANT_BOOL *result) override;
    HRESULT get_Parameters(IDispatch **result) override;
    HRESULT Action(BSTR *sCommandLine, VARIANT_BOOL *result) override;
    HRESULT Help(VARIANT_BOOL *result) override;
    HRESULT get_Error(IDispatch **result) override;
    HRESULT get_Description(BSTR *result) override;
    HRESULT get_FriendlyName(BSTR *result) override;
    HRESULT get_Author(BSTR *result) override;

    // _calcTool.Action: sets "CommandLine" to the argument, then acts.
    bool actionWithCommandLine(const QString &commandLine);

protected:
    void *queryExtra(REFIID iid) override;

private:
    QString parameterText(const QString &name) const;
    bool runTool();

    com::ComPtr<IDispatch> m_parameters;
    com::ComPtr<IDispatch> m_system;
};
