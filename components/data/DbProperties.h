#pragma once

#include "jx_components_export.h"

#include "platform/com/Dispatchable.h"

#include <QMap>
#include <QString>
#include <QVariant>

/// The database's connection properties as a collection: `Item(name)` (also
/// by 1-based index) gives a named value, `Count` their number.
class JX_COMPONENTS_EXPORT DbProperties final : public com::Dispatchable<DbProperties>
{
public:
    static const com::MemberTable<DbProperties> &members();

    explicit DbProperties(QMap<QString, QVariant> values) : m_values(std::move(values)) {}
    int Count() const { return static_cast<int>(m_values.size()); }

private:
    QMap<QString, QVariant> m_values; // lower-case names
};
