#pragma once

#include "platform/com/Result.h"
#include "jx_components_export.h"

#include <QString>

/// Tells from its text whether a statement only reads: one SELECT (or WITH
/// ... SELECT) with no keyword that writes, locks or changes the schema
/// outside its literals and comments. The engines check again when it runs;
/// this is what a running transaction, which cannot be made read-only
/// afterwards, relies on.
class JX_COMPONENTS_EXPORT ReadOnlyStatement
{
public:
    /// A failure with the reason (Chinese) when the text may change anything.
    static jx::Result<> allows(const QString &sql);
    /// The text with literals, quoted names and comments blanked out.
    static QString code(const QString &sql);
};
