#include "components/data/ErrorHolder.h"

const com::MemberTable<ErrorHolder> &ErrorHolder::members()
{
    static const com::MemberTable<ErrorHolder> table = com::MemberTable<ErrorHolder>().add(
        QStringLiteral("Description"), [](ErrorHolder &self, const com::DispArgs &) { return com::Variant::fromString(self.Description()); });
    return table;
}
