#include "components/context/CompanyInfo.h"

#include <vector>

QString CompanyInfo::DisplayName() const
{
    const QString name = m_CoName.trimmed();
    return name.isEmpty() ? m_EName.trimmed() : name;
}

namespace {
using Getter = QString (CompanyInfo::*)() const;
using Setter = void (CompanyInfo::*)(const QString &);
struct Field
{
    const char *name;
    Getter get;
    Setter set;
};

const std::vector<Field> &fields()
{
    static const std::vector<Field> list = {
        {"Attrib", &CompanyInfo::Attrib, &CompanyInfo::SetAttrib},
        {"AddrGAlt", &CompanyInfo::AddrGAlt, &CompanyInfo::SetAddrGAlt},
        {"EAddrR", &CompanyInfo::EAddrR, &CompanyInfo::SetEAddrR},
        {"EName", &CompanyInfo::EName, &CompanyInfo::SetEName},
        {"Account", &CompanyInfo::Account, &CompanyInfo::SetAccount},
        {"AddrG", &CompanyInfo::AddrG, &CompanyInfo::SetAddrG},
        {"AddrB", &CompanyInfo::AddrB, &CompanyInfo::SetAddrB},
        {"AddrR", &CompanyInfo::AddrR, &CompanyInfo::SetAddrR},
        {"Mail", &CompanyInfo::Mail, &CompanyInfo::SetMail},
        {"Tax", &CompanyInfo::Tax, &CompanyInfo::SetTax},
        {"Fax", &CompanyInfo::Fax, &CompanyInfo::SetFax},
        {"Phone", &CompanyInfo::Phone, &CompanyInfo::SetPhone},
        {"Fr", &CompanyInfo::Fr, &CompanyInfo::SetFr},
        {"CoName", &CompanyInfo::CoName, &CompanyInfo::SetCoName},
    };
    return list;
}

const Field *fieldNamed(const QString &name)
{
    for (const Field &f : fields())
        if (name.compare(QLatin1String(f.name), Qt::CaseInsensitive) == 0)
            return &f;
    return nullptr;
}
} // namespace

bool CompanyInfo::SetProperty(const QString &name, const QString &value)
{
    const Field *f = fieldNamed(name);
    if (!f)
        return false;
    (this->*(f->set))(value);
    return true;
}

QString CompanyInfo::Property(const QString &name) const
{
    const Field *f = fieldNamed(name);
    return f ? (this->*(f->get))() : QString();
}

const com::MemberTable<CompanyInfo> &CompanyInfo::members()
{
    static const com::MemberTable<CompanyInfo> table = [] {
        com::MemberTable<CompanyInfo> t;
        for (const Field &f : fields()) {
            const Getter get = f.get;
            const Setter set = f.set;
            t.add(
                QLatin1String(f.name), [get](CompanyInfo &self, const com::DispArgs &) { return com::Variant::fromString((self.*get)()); },
                [set](CompanyInfo &self, const com::DispArgs &, const VARIANT &v) { (self.*set)(com::toQVariant(v).toString()); });
        }
        t.add(QStringLiteral("DisplayName"), [](CompanyInfo &self, const com::DispArgs &) { return com::Variant::fromString(self.DisplayName()); });
        return t;
    }();
    return table;
}
