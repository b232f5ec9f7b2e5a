#pragma once

#include "platform/com/Dispatchable.h"

#include <QString>

/// Last-error holder of the database object; "" means no error.
class DbError final : public com::Dispatchable<DbError>
{
public:
    static constexpr const char *kClassIid = "{6A1C2E02-3B5D-4C7E-9F10-2A3B4C5D6E02}";
    static const com::MemberTable<DbError> &members();

    QString Description() const { return m_description; }
    void setDescription(const QString &text) { m_description = text; }
    void clear() { m_description.clear(); }

private:
    QString m_description;
};
