#pragma once

// The error holder a start-up plug-in hands out through LastError.

#include "platform/com/Dispatchable.h"
#include "startupplugin/StartupError.h"
#include "startupplugin/StartupPluginExport.h"

class QVSTARTUPPLUGIN_EXPORT clsStartupError final : public com::Dispatchable<clsStartupError, StartupError>
{
public:
    static constexpr IID kInterfaceIid = IID_StartupError;
    static const com::MemberTable<clsStartupError> &members();

    HRESULT get_Number(int32_t *result) override;
    HRESULT get_Description(BSTR *result) override;
    HRESULT get_Source(BSTR *result) override;

    void Set(int32_t number, const QString &source, const QString &description);
    void Clear() { Set(0, QString(), QString()); }
    int32_t Number() const { return m_number; }
    QString Source() const { return m_source; }
    QString Description() const { return m_description; }

private:
    int32_t m_number = 0;
    QString m_source;
    QString m_description;
};
