#include "components/context/ContextError.h"

const com::MemberTable<ContextError> &ContextError::members()
{
    static const com::MemberTable<ContextError> table = com::MemberTable<ContextError>().add(
        QStringLiteral("Description"), [](ContextError &self, const com::DispArgs &) { return com::Variant::fromString(self.Description()); });
    return table;
}
