#include "jxedit/ParameterSet.h"

#include "platform/com/Dispatchable.h"
#include "platform/com/RuntimeError.h"

namespace jxedit {

const com::MemberTable<ParameterSet> &ParameterSet::members()
{
    static const com::MemberTable<ParameterSet> table = com::MemberTable<ParameterSet>()
        .add(QStringLiteral("Add"), [](ParameterSet &self, const com::DispArgs &a) {
            com::requireArgs(a, 5);
            self.set(com::argText(a, 3), com::toQVariant(*a[4]));
            return com::Variant();
        })
        .add(QStringLiteral("Item"), [](ParameterSet &self, const com::DispArgs &a) {
            com::requireArgs(a, 1);
            const VARIANT &key = com::deref(*a[0]);
            if (key.vt == VT_I2 || key.vt == VT_I4 || key.vt == VT_R8) {
                const int i = com::argInt(a, 0);
                if (i < 0 || i >= self.m_items.size())
                    throw com::RuntimeError::of(com::errors::ItemNotFound, QStringLiteral("ParameterSet"));
                return com::Variant::fromQVariant(self.m_items.at(i).second);
            }
            const QString name = com::argText(a, 0);
            for (const auto &item : self.m_items)
                if (item.first.compare(name, Qt::CaseInsensitive) == 0)
                    return com::Variant::fromQVariant(item.second);
            throw com::RuntimeError::of(com::errors::ItemNotFound, QStringLiteral("ParameterSet"));
        })
        .add(QStringLiteral("Count"), [](ParameterSet &self, const com::DispArgs &) { return com::Variant::fromInt32(int(self.m_items.size())); });
    return table;
}

void ParameterSet::set(const QString &name, const QVariant &value)
{
    for (auto &item : m_items)
        if (item.first.compare(name, Qt::CaseInsensitive) == 0) {
            item.second = value;
            return;
        }
    m_items.append({name, value});
}

QVariant ParameterSet::value(const QString &name) const
{
    for (const auto &item : m_items)
        if (item.first.compare(name, Qt::CaseInsensitive) == 0)
            return item.second;
    return {};
}

} // namespace jxedit
