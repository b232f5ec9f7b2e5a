#pragma once

#include "jx_components_export.h"

#include "components/data/Recordset.h"
#include "platform/com/Dispatchable.h"

#include <QVariant>

/// Outcome of one statement. A failed statement gives an empty recordset
/// and a null value; the reason is in the database's LastError.
class JX_COMPONENTS_EXPORT QueryResult final : public com::Dispatchable<QueryResult>
{
public:
    static const com::MemberTable<QueryResult> &members();

    QueryResult() = default;
    explicit QueryResult(::Recordset rs, bool ok = true) : m_recordset(std::move(rs)), m_ok(ok) {}

    /// First column of the first row; null when there is none.
    QVariant Value() const;
    /// The rows, cursor on the first one.
    ::Recordset Recordset() const { return m_recordset; }
    bool ok() const { return m_ok; }

private:
    ::Recordset m_recordset;
    bool m_ok = false;
};
