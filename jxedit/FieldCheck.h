#pragma once

#include "jxedit/FunctionDefinition.h"
#include "platform/com/Result.h"

#include <QVariant>

namespace jxedit {

/// Checks what the user typed into one field against its definition.
class FieldCheck
{
public:
    /// What is stored for `text`: a number for int and number fields, 0 for an
    /// empty optional number, the trimmed text otherwise; or the refusal.
    static jx::Result<QVariant> check(const ColumnDef &column, const QString &text);
};

} // namespace jxedit
