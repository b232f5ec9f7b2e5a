#include "components/data/DbProperties.h"

#include "components/data/NamedValue.h"

const com::MemberTable<DbProperties> &DbProperties::members()
{
    static const com::MemberTable<DbProperties> table = com::MemberTable<DbProperties>()
        .add(QStringLiteral("Item"), [](DbProperties &self, const com::DispArgs &a) {
            com::requireArgs(a, 1);
            const VARIANT &key = com::deref(*a[0]);
            QString name;
            if (key.vt == VT_I2 || key.vt == VT_I4 || key.vt == VT_R8) {
                const int index = com::argInt(a, 0);
                if (index < 1 || index > self.Count())
                    throw com::RuntimeError::of(com::errors::ItemNotFound, QStringLiteral("Database"));
                name = self.m_values.keys().at(index - 1);
            } else {
                name = com::argText(a, 0).trimmed().toLower();
                if (!self.m_values.contains(name))
                    throw com::RuntimeError::of(com::errors::ItemNotFound, QStringLiteral("Database"));
            }
            return com::newObject<NamedValue>(name, self.m_values.value(name));
        })
        .add(QStringLiteral("Count"), [](DbProperties &self, const com::DispArgs &) { return com::Variant::fromInt32(self.Count()); });
    return table;
}
