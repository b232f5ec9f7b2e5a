// Start-up plug-ins for the tests: tpStartup.Good records each call in the
// environment variable TP_STARTUP ("Start:Good;Run:Good;..."), and what it was
// handed in TP_SETTINGS; tpStartup.Failing reports an error through LastError.

#include "platform/com/Bstr.h"
#include "platform/com/ComPtr.h"
#include "platform/com/Dispatchable.h"
#include "platform/com/ServerModule.h"
#include "startupplugin/IStartupPlugin.h"
#include "startupplugin/clsStartupError.h"
#include "startupplugin/clsStartupSettings.h"

QV_TYPE_LIBRARY("library tpStartup 1.0 {0E1D2C3B-3000-4A5B-8C9D-0E1F2A3B4C50}\n"
                "coclass Good {0E1D2C3B-3001-4A5B-8C9D-0E1F2A3B4C50}\n"
                "  implements IStartupPlugin " QV_IID_ISTARTUPPLUGIN "\n"
                "coclass Failing {0E1D2C3B-3002-4A5B-8C9D-0E1F2A3B4C50}\n"
                "  implements IStartupPlugin " QV_IID_ISTARTUPPLUGIN "\n");

namespace {

void trace(const QString &what)
{
    qputenv("TP_STARTUP", qgetenv("TP_STARTUP") + what.toUtf8() + ';');
}

HRESULT give(const QString &text, BSTR *result)
{
    *result = com::toBstr(text);
    return S_OK;
}

template<bool Fails>
class Startup final : public com::Dispatchable<Startup<Fails>, IStartupPlugin>
{
public:
    static constexpr IID kInterfaceIid = IID_IStartupPlugin;
    static QString name() { return Fails ? QStringLiteral("Failing") : QStringLiteral("Good"); }

    HRESULT get_Description(BSTR *r) override { return give(QString(), r); }
    HRESULT get_Author(BSTR *r) override { return give(QString(), r); }
    HRESULT get_Version(BSTR *r) override { return give(QStringLiteral("1"), r); }
    HRESULT get_ProgID(BSTR *r) override { return give(QStringLiteral("tpStartup.") + name(), r); }
    HRESULT get_Name(BSTR *r) override { return give(QStringLiteral("测试") + name(), r); }
    HRESULT get_Running(VARIANT_BOOL *r) override
    {
        *r = VARIANT_FALSE;
        return S_OK;
    }
    HRESULT Run(BSTR *, BSTR *r) override
    {
        trace(QStringLiteral("Run:") + name());
        qputenv("TP_SETTINGS", (m_settings->ConfigFile() + u'|' + m_settings->AppPath() + u'|' + m_settings->Caption() + u'|'
                                + m_settings->CompanyName() + u'|' + QString::number(m_settings->SystemNumber()))
                                   .toUtf8());
        if (Fails)
            m_error->Set(1, name(), QStringLiteral("备份目录不可写"));
        return give(QString(), r);
    }
    HRESULT Start() override
    {
        trace(QStringLiteral("Start:") + name());
        return S_OK;
    }
    HRESULT Stop() override
    {
        trace(QStringLiteral("Stop:") + name());
        return S_OK;
    }
    HRESULT ClearError() override { return S_OK; }
    HRESULT get_Settings(StartupSettings **r) override
    {
        *r = m_settings.get();
        (*r)->AddRef();
        return S_OK;
    }
    HRESULT get_Result(BSTR *r) override { return give(QString(), r); }
    HRESULT get_LastError(StartupError **r) override
    {
        *r = m_error.get();
        (*r)->AddRef();
        return S_OK;
    }

private:
    com::ComPtr<clsStartupSettings> m_settings = com::ComPtr<clsStartupSettings>::adopt(new clsStartupSettings);
    com::ComPtr<clsStartupError> m_error = com::ComPtr<clsStartupError>::adopt(new clsStartupError);
};

const com::ServedClass kServedClasses[] = {
    com::servedClass<Startup<false>>(com::guid("{0E1D2C3B-3001-4A5B-8C9D-0E1F2A3B4C50}")),
    com::servedClass<Startup<true>>(com::guid("{0E1D2C3B-3002-4A5B-8C9D-0E1F2A3B4C50}")),
};

} // namespace

QV_SERVER_ENTRY_POINTS(kServedClasses)
