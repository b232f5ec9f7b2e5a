#pragma once

#include "jx_components_export.h"

#include <QString>

/// Escapes text for XML element content and attributes (& < > " '), and drops
/// control characters XML 1.0 does not allow, so records stay well-formed.
class JX_COMPONENTS_EXPORT TextEncoder
{
public:
    QString Encode(const QString &text) const;
};
