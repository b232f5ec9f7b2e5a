#pragma once

#include "jx_components_export.h"

#include "platform/com/Dispatchable.h"

#include <QString>

/// Company record of the signed-in work, filled from sysdatabase after sign-in.
class JX_COMPONENTS_EXPORT CompanyInfo final : public com::Dispatchable<CompanyInfo>
{
public:
    static constexpr const char *kClassIid = "{6A1C2E05-3B5D-4C7E-9F10-2A3B4C5D6E05}";
    static const com::MemberTable<CompanyInfo> &members();
    using Dispatchable::setLifetimeOwner;

    /// Property by its name, ignoring letter case; false for an unknown name.
    bool SetProperty(const QString &name, const QString &value);
    QString Property(const QString &name) const;

#define JX_COMPANY_PROP(Name) \
    QString Name() const { return m_##Name; } \
    void Set##Name(const QString &v) { m_##Name = v; }
    JX_COMPANY_PROP(Attrib)
    JX_COMPANY_PROP(AddrGAlt)
    JX_COMPANY_PROP(EAddrR)
    JX_COMPANY_PROP(EName)
    JX_COMPANY_PROP(Account)
    JX_COMPANY_PROP(AddrG)
    JX_COMPANY_PROP(AddrB)
    JX_COMPANY_PROP(AddrR)
    JX_COMPANY_PROP(Mail)
    JX_COMPANY_PROP(Tax)
    JX_COMPANY_PROP(Fax)
    JX_COMPANY_PROP(Phone)
    JX_COMPANY_PROP(Fr)
    JX_COMPANY_PROP(CoName)
#undef JX_COMPANY_PROP

    /// Name to show: the company name, else the English name, else "".
    QString DisplayName() const;

private:
    QString m_Attrib, m_AddrGAlt, m_EAddrR, m_EName, m_Account, m_AddrG, m_AddrB, m_AddrR,
        m_Mail, m_Tax, m_Fax, m_Phone, m_Fr, m_CoName;
};
