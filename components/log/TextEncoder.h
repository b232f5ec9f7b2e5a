#pragma once

#include <QString>

/// Escapes text for XML element content and attributes (& < > " '), and drops
/// control characters XML 1.0 does not allow, so records stay well-formed.
class TextEncoder
{
public:
    QString Encode(const QString &text) const;
};
