#include "startupplugin/clsStartupSettings.h"

#include "platform/com/Bstr.h"

namespace {

HRESULT give(const QString &text, BSTR *result)
{
    if (!result)
        return E_POINTER;
    *result = com::toBstr(text);
    return S_OK;
}

// A late-bound text property over one member.
void addText(com::MemberTable<clsStartupSettings> &table, const QString &name, QString clsStartupSettings::*member)
{
    table.add(
        name, [member](clsStartupSettings &self, const com::DispArgs &) { return com::Variant::fromString(self.*member); },
        [member](clsStartupSettings &self, const com::DispArgs &, const VARIANT &v) { self.*member = com::toQVariant(v).toString(); });
}

} // namespace

const com::MemberTable<clsStartupSettings> &clsStartupSettings::members()
{
    static const com::MemberTable<clsStartupSettings> table = [] {
        com::MemberTable<clsStartupSettings> t;
        addText(t, QStringLiteral("ConfigFile"), &clsStartupSettings::m_configFile);
        addText(t, QStringLiteral("CompanyName"), &clsStartupSettings::m_companyName);
        t.add(
            QStringLiteral("SystemNumber"),
            [](clsStartupSettings &self, const com::DispArgs &) { return com::Variant::fromInt32(self.m_systemNumber); },
            [](clsStartupSettings &self, const com::DispArgs &, const VARIANT &v) { self.m_systemNumber = com::toQVariant(v).toInt(); });
        addText(t, QStringLiteral("AppPath"), &clsStartupSettings::m_appPath);
        addText(t, QStringLiteral("Caption"), &clsStartupSettings::m_caption);
        t.add(
            QStringLiteral("Value"),
            [](clsStartupSettings &self, const com::DispArgs &a) {
                if (a.empty())
                    throw com::RuntimeError::of(com::errors::ArgumentNotOptional, QStringLiteral("StartupSettings"));
                return com::Variant::fromString(self.Value(com::toQVariant(*a.at(0)).toString()));
            },
            [](clsStartupSettings &self, const com::DispArgs &a, const VARIANT &v) {
                if (a.empty())
                    throw com::RuntimeError::of(com::errors::ArgumentNotOptional, QStringLiteral("StartupSettings"));
                self.SetValue(com::toQVariant(*a.at(0)).toString(), com::toQVariant(v).toString());
            });
        return t;
    }();
    return table;
}

HRESULT clsStartupSettings::get_ConfigFile(BSTR *result) { return give(m_configFile, result); }
HRESULT clsStartupSettings::put_ConfigFile(BSTR value)
{
    m_configFile = com::fromBstr(value);
    return S_OK;
}
HRESULT clsStartupSettings::get_Value(BSTR name, BSTR *result) { return give(Value(com::fromBstr(name)), result); }
HRESULT clsStartupSettings::put_Value(BSTR name, BSTR value)
{
    SetValue(com::fromBstr(name), com::fromBstr(value));
    return S_OK;
}
HRESULT clsStartupSettings::get_CompanyName(BSTR *result) { return give(m_companyName, result); }
HRESULT clsStartupSettings::put_CompanyName(BSTR value)
{
    m_companyName = com::fromBstr(value);
    return S_OK;
}
HRESULT clsStartupSettings::get_SystemNumber(int32_t *result)
{
    if (!result)
        return E_POINTER;
    *result = m_systemNumber;
    return S_OK;
}
HRESULT clsStartupSettings::put_SystemNumber(int32_t value)
{
    m_systemNumber = value;
    return S_OK;
}
HRESULT clsStartupSettings::get_AppPath(BSTR *result) { return give(m_appPath, result); }
HRESULT clsStartupSettings::put_AppPath(BSTR value)
{
    m_appPath = com::fromBstr(value);
    return S_OK;
}
HRESULT clsStartupSettings::get_Caption(BSTR *result) { return give(m_caption, result); }
HRESULT clsStartupSettings::put_Caption(BSTR value)
{
    m_caption = com::fromBstr(value);
    return S_OK;
}
