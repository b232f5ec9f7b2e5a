#include "startupplugin/clsStartupError.h"

#include "platform/com/Bstr.h"

const com::MemberTable<clsStartupError> &clsStartupError::members()
{
    static const com::MemberTable<clsStartupError> table = com::MemberTable<clsStartupError>()
        .add(QStringLiteral("Number"), [](clsStartupError &self, const com::DispArgs &) { return com::Variant::fromInt32(self.m_number); })
        .add(QStringLiteral("Description"),
             [](clsStartupError &self, const com::DispArgs &) { return com::Variant::fromString(self.m_description); })
        .add(QStringLiteral("Source"), [](clsStartupError &self, const com::DispArgs &) { return com::Variant::fromString(self.m_source); });
    return table;
}

HRESULT clsStartupError::get_Number(int32_t *result)
{
    if (!result)
        return E_POINTER;
    *result = m_number;
    return S_OK;
}

HRESULT clsStartupError::get_Description(BSTR *result)
{
    if (!result)
        return E_POINTER;
    *result = com::toBstr(m_description);
    return S_OK;
}

HRESULT clsStartupError::get_Source(BSTR *result)
{
    if (!result)
        return E_POINTER;
    *result = com::toBstr(m_source);
    return S_OK;
}

void clsStartupError::Set(int32_t number, const QString &source, const QString &description)
{
    m_number = number;
    m_source = source;
    m_description = description;
}
