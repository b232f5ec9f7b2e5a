#pragma once

#include "platform/com/Dispatchable.h"

#include <QList>
#include <QString>
#include <QVariant>

#include <cstdint>

// Named values handed to a function control, as its automation object:
// Add(direction, size, flags, name, value, type, precision) adds an entry,
// Count and Item(name or 1-based index) read them back, Item(..).Value being
// the value.
class ParameterSet final : public com::Dispatchable<ParameterSet>
{
public:
    static constexpr const char *kClassIid = "{5C1E8A52-3B7D-4F29-A6C4-7E2B9D0F1A31}";
    static const com::MemberTable<ParameterSet> &members();

    struct Entry
    {
        QString name;
        QVariant value;
        int32_t type = 0;
    };

    void Add(const QString &name, const QVariant &value, int32_t type);
    int Count() const { return static_cast<int>(m_entries.size()); }
    // Letter case ignored; null when there is none.
    const Entry *Item(const QString &name) const;
    const QList<Entry> &entries() const { return m_entries; }

private:
    QList<Entry> m_entries;
};
