#pragma once

#include "jx_components_export.h"

#include "platform/com/Dispatchable.h"

#include <QString>
#include <QVariant>

/// One named value handed out by automation: a recordset field
/// (`Fields(name).Value`) or a database property (`Properties(name).Value`).
class JX_COMPONENTS_EXPORT NamedValue final : public com::Dispatchable<NamedValue>
{
public:
    static const com::MemberTable<NamedValue> &members();

    NamedValue(QString name, QVariant value) : m_name(std::move(name)), m_value(std::move(value)) {}
    QString Name() const { return m_name; }
    QVariant Value() const { return m_value; }

private:
    QString m_name;
    QVariant m_value;
};
