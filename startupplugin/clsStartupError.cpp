#include "startupplugin/clsStartupError.h"

#include "platform/com/Bstr.h"

clsStartupError::clsStartupError() : com::DispatchImpl<StartupError>(IID_StartupError)
{
    members().add(QStringLiteral("Number"), [this](const com::DispArgs &) { return com::Variant::fromInt32(m_number); });
    members().add(QStringLiteral("Description"),
                  [this](const com::DispArgs &) { return com::Variant::fromString(m_description); });
    members().add(QStringLiteral("Source"), [this](const com::DispArgs &) { return com::Variant::fromString(m_source); });
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
