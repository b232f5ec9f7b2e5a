#pragma once

// The 数据备份 function as a plug-in (ProgID "jxBackup.BackupManager"): Action
// opens the backup window over the installation the console runs on.

#include "extplugin/IExtPluginUI.h"
#include "platform/com/ComPtr.h"
#include "platform/com/Dispatchable.h"

// Reached through IExtPluginUI only: it has no late-bound members.
class BackupManager final : public com::Dispatchable<BackupManager, IExtPluginUI>
{
public:
    static constexpr const char *kProgId = "jxBackup.BackupManager";
    static constexpr IID kInterfaceIid = IID_IExtPluginUI;

    BackupManager();

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

private:
    QString environment(const QString &member) const;
    int32_t programNumber() const;
    QString signedInUser() const;

    com::ComPtr<IDispatch> m_parameters;
    com::ComPtr<IDispatch> m_system;
};
