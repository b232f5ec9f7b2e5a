#pragma once

#include "jx_components_export.h"

#include "platform/com/Dispatchable.h"

#include <QString>

/// Last-error holder of the runtime objects (the database and the context
/// objects); "" means no error. Its automation face has one member,
/// Description.
class JX_COMPONENTS_EXPORT ErrorHolder final : public com::Dispatchable<ErrorHolder>
{
public:
    static constexpr const char *kClassIid = "{6A1C2E01-3B5D-4C7E-9F10-2A3B4C5D6E01}";
    static const com::MemberTable<ErrorHolder> &members();

    QString Description() const { return m_description; }
    void setDescription(const QString &text) { m_description = text; }
    void clear() { m_description.clear(); }

private:
    QString m_description;
};
