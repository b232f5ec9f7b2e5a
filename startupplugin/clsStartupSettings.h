#pragma once

// The settings object a start-up plug-in hands out through Settings; the
// console fills it before Start, the plug-in reads it.

#include "platform/com/Dispatchable.h"
#include "startupplugin/StartupPluginExport.h"
#include "startupplugin/StartupSettings.h"

#include <QMap>

class QVSTARTUPPLUGIN_EXPORT clsStartupSettings final : public com::Dispatchable<clsStartupSettings, StartupSettings>
{
public:
    static constexpr IID kInterfaceIid = IID_StartupSettings;
    static const com::MemberTable<clsStartupSettings> &members();

    HRESULT get_ConfigFile(BSTR *result) override;
    HRESULT put_ConfigFile(BSTR value) override;
    HRESULT get_Value(BSTR name, BSTR *result) override;
    HRESULT put_Value(BSTR name, BSTR value) override;
    HRESULT get_CompanyName(BSTR *result) override;
    HRESULT put_CompanyName(BSTR value) override;
    HRESULT get_SystemNumber(int32_t *result) override;
    HRESULT put_SystemNumber(int32_t value) override;
    HRESULT get_AppPath(BSTR *result) override;
    HRESULT put_AppPath(BSTR value) override;
    HRESULT get_Caption(BSTR *result) override;
    HRESULT put_Caption(BSTR value) override;

    QString ConfigFile() const { return m_configFile; }
    QString CompanyName() const { return m_companyName; }
    int32_t SystemNumber() const { return m_systemNumber; }
    QString AppPath() const { return m_appPath; }
    QString Caption() const { return m_caption; }
    // Named values are matched without regard to letter case.
    QString Value(const QString &name) const { return m_values.value(name.toLower()); }
    void SetValue(const QString &name, const QString &value) { m_values.insert(name.toLower(), value); }

private:
    QString m_configFile;
    QString m_companyName;
    int32_t m_systemNumber = 0;
    QString m_appPath;
    QString m_caption;
    QMap<QString, QString> m_values;
};
