#include "components/data/DbError.h"

const com::MemberTable<DbError> &DbError::members()
{
    static const com::MemberTable<DbError> table = com::MemberTable<DbError>().add(
        QStringLiteral("Description"), [](DbError &self, const com::DispArgs &) { return com::Variant::fromString(self.Description()); });
    return table;
}
