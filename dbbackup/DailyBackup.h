#pragma once

// The daily backup start-up plug-in (ProgID "jxBackup.DailyBackup"). Run
// makes today's copy of the product database in the installation's backup
// folder and keeps the newest copies; a failure goes to LastError, never to
// the caller as a failed call, so start-up logs it and goes on.

#include "platform/com/ComPtr.h"
#include "platform/com/Dispatchable.h"
#include "startupplugin/IStartupPlugin.h"
#include "startupplugin/clsStartupError.h"
#include "startupplugin/clsStartupSettings.h"

class DailyBackup final : public com::Dispatchable<DailyBackup, IStartupPlugin>
{
public:
    static constexpr const char *kProgId = "jxBackup.DailyBackup";
    static constexpr IID kInterfaceIid = IID_IStartupPlugin;
    static const com::MemberTable<DailyBackup> &members();

    DailyBackup();

    HRESULT get_Description(BSTR *result) override;
    HRESULT get_Author(BSTR *result) override;
    HRESULT get_Version(BSTR *result) override;
    HRESULT get_ProgID(BSTR *result) override;
    HRESULT get_Name(BSTR *result) override;
    HRESULT get_Running(VARIANT_BOOL *result) override;
    HRESULT Run(BSTR *sCommandLine, BSTR *result) override;
    HRESULT Start() override;
    HRESULT Stop() override;
    HRESULT ClearError() override;
    HRESULT get_Settings(StartupSettings **result) override;
    HRESULT get_Result(BSTR *result) override;
    HRESULT get_LastError(StartupError **result) override;

private:
    QString runBackup();

    com::ComPtr<clsStartupSettings> m_settings;
    com::ComPtr<clsStartupError> m_error;
    QString m_result;
    bool m_running = false;
};
