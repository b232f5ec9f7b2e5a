#include "components/data/NamedValue.h"

const com::MemberTable<NamedValue> &NamedValue::members()
{
    static const com::MemberTable<NamedValue> table = com::MemberTable<NamedValue>()
        .add(QStringLiteral("Value"), [](NamedValue &self, const com::DispArgs &) { return com::Variant::fromQVariant(self.m_value); })
        .add(QStringLiteral("Name"), [](NamedValue &self, const com::DispArgs &) { return com::Variant::fromString(self.m_name); });
    return table;
}
