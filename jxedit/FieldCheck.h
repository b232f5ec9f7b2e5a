#pragma once

#include "jxedit/FunctionDefinition.h"

#include <QVariant>

namespace jxedit {

/// Checks what the user typed into one field against its definition.
class FieldCheck
{
public:
    /// The refusal for `text` (empty when it is accepted); `value` receives
    /// what is stored: a number for int and number fields, a null value for an
    /// empty optional number, the trimmed text otherwise.
    static QString check(const ColumnDef &column, const QString &text, QVariant &value);
};

} // namespace jxedit
