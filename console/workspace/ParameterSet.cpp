#include "console/workspace/ParameterSet.h"

#include "components/data/NamedValue.h"
#include "platform/com/RuntimeError.h"

void ParameterSet::Add(const QString &name, const QVariant &value, int32_t type)
{
    m_entries.append({name, value, type});
}

const ParameterSet::Entry *ParameterSet::Item(const QString &name) const
{
    for (const Entry &entry : m_entries)
        if (entry.name.compare(name, Qt::CaseInsensitive) == 0)
            return &entry;
    return nullptr;
}

const com::MemberTable<ParameterSet> &ParameterSet::members()
{
    static const com::MemberTable<ParameterSet> table =
        com::MemberTable<ParameterSet>()
            .add(QStringLiteral("Add"),
                 [](ParameterSet &self, const com::DispArgs &a) {
                     if (a.size() < 5)
                         throw com::RuntimeError::of(449);
                     const int32_t type = a.size() > 5 ? com::toQVariant(*a[5]).toInt() : 0;
                     self.Add(com::toQVariant(*a[3]).toString(), com::toQVariant(*a[4]), type);
                     return com::newObject<NamedValue>(com::toQVariant(*a[3]).toString(), com::toQVariant(*a[4]));
                 })
            .add(QStringLiteral("Count"), [](ParameterSet &self, const com::DispArgs &) {
                return com::Variant::fromInt32(self.Count());
            })
            .add(QStringLiteral("Item"), [](ParameterSet &self, const com::DispArgs &a) {
                if (a.empty())
                    throw com::RuntimeError::of(449);
                const QVariant key = com::toQVariant(*a[0]);
                const Entry *entry = nullptr;
                if (key.typeId() == QMetaType::QString) {
                    entry = self.Item(key.toString());
                } else {
                    const int index = key.toInt();
                    if (index >= 1 && index <= self.Count())
                        entry = &self.m_entries.at(index - 1);
                }
                if (!entry)
                    throw com::RuntimeError::of(9);
                return com::newObject<NamedValue>(entry->name, entry->value);
            });
    return table;
}
