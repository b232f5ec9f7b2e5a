#pragma once

#include "platform/com/Dispatchable.h"

#include <QString>
#include <QVariant>
#include <QVector>

namespace jxedit {

/// Named values a report hands back to its host: Add(direction, attributes,
/// precision, name, value, type, size) in the order the hosts call it; the
/// three leading numbers, the type and the size are kept but mean nothing here.
/// Item(name or 0-based index) gives the value; Count the number of entries.
class ParameterSet final : public com::Dispatchable<ParameterSet>
{
public:
    static const com::MemberTable<ParameterSet> &members();

    void set(const QString &name, const QVariant &value);
    QVariant value(const QString &name) const;

private:
    QVector<QPair<QString, QVariant>> m_items;
};

} // namespace jxedit
