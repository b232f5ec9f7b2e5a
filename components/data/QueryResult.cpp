#include "components/data/QueryResult.h"

QVariant QueryResult::Value() const
{
    if (m_recordset.Bof())
        return {};
    ::Recordset first = m_recordset;
    return first.Field(0);
}

const com::MemberTable<QueryResult> &QueryResult::members()
{
    static const com::MemberTable<QueryResult> table = com::MemberTable<QueryResult>()
        .add(QStringLiteral("Value"), [](QueryResult &self, const com::DispArgs &) { return com::Variant::fromQVariant(self.Value()); })
        .add(QStringLiteral("Recordset"), [](QueryResult &self, const com::DispArgs &) { return com::faceOf(self.Recordset()); });
    return table;
}
