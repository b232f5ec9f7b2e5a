#include "components/data/QueryResult.h"

QVariant QueryResult::Value() const
{
    if (m_recordset.Bof())
        return {};
    ::Recordset first = m_recordset;
    return first.Field(0);
}
