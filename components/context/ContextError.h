#pragma once

#include "platform/com/Dispatchable.h"

#include <QString>

/// Last-error holder of the context objects; "" means no error.
class ContextError final : public com::Dispatchable<ContextError>
{
public:
    static constexpr const char *kClassIid = "{6A1C2E01-3B5D-4C7E-9F10-2A3B4C5D6E01}";
    static const com::MemberTable<ContextError> &members();

    QString Description() const { return m_description; }
    void setDescription(const QString &text) { m_description = text; }
    void clear() { m_description.clear(); }

private:
    QString m_description;
};
