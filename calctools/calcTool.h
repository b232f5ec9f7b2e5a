#pragma once

// The calculation-tools plug-in class. Implements the console's plug-in
// interface and its own default interface `_calcTool` (`Action`, early or late bound).
// Which window `Action` opens comes from the "CommandLine" parameter.

#include "extplugin/IExtPluginUI.h"
#include "platform/com/ComPtr.h"
#include "platform/com/Dispatchable.h"

#define JXTOOL_IID_CALCTOOL "{7A0618AB-5E8C-4A8A-A16C-858685A0F121}"
constexpr IID IID__calcTool = com::guidLiteral(JXTOOL_IID_CALCTOOL);

namespace jxTools {

// The class's own dual interface: after the IDispatch entries, one member.
struct _calcTool : IDispatch
{
    // Sets the "CommandLine" parameter to *sCommandLine, then acts as IExtPluginUI::Action.
    virtual HRESULT Action(BSTR *sCommandLine, VARIANT_BOOL *result) = 0;
};

} // namespace jxTools

class calcTool final : public com::Dispatchable<calcTool, IExtPluginUI>
{
public:
    static constexpr IID kInterfaceIid = IID_IExtPluginUI;
    static const com::MemberTable<calcTool> &members();

    calcTool();
    calcTool(const calcTool &) = delete;
    calcTool &operator=(const calcTool &) = delete;

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

    // `_calcTool` beside the plug-in interface.
    void *queryExtra(REFIID iid);

private:
    // `_calcTool` needs a vtable of its own: its Action sits where IExtPluginUI has Init.
    class CalcToolFace final : public jxTools::_calcTool
    {
    public:
        explicit CalcToolFace(calcTool &outer) : m_outer(outer) {}
        HRESULT QueryInterface(REFIID riid, void **ppv) override;
        ULONG AddRef() override;
        ULONG Release() override;
        HRESULT GetTypeInfoCount(uint32_t *pctinfo) override;
        HRESULT GetTypeInfo(uint32_t iTInfo, LCID lcid, ITypeInfo **ppTInfo) override;
        HRESULT GetIDsOfNames(REFIID riid, OLECHAR **names, uint32_t count, LCID lcid, DISPID *ids) override;
        HRESULT Invoke(DISPID id, REFIID riid, LCID lcid, uint16_t flags, DISPPARAMS *params, VARIANT *result,
                       EXCEPINFO *excep, uint32_t *argErr) override;
        HRESULT Action(BSTR *sCommandLine, VARIANT_BOOL *result) override;

    private:
        calcTool &m_outer;
    };

    QString parameterText(const QString &name) const;
    QString captionText() const;
    bool runTool();

    com::ComPtr<IDispatch> m_parameters;
    com::ComPtr<IDispatch> m_system;
    CalcToolFace m_face{*this};
};
