#pragma once

// Reads the registry for the plug-in loader (is a class registered?) and the
// about window. Callers create an instance, make a call or two and drop it;
// nothing is kept between calls. Never raises: a missing key or value answers
// False or the default.

#include <QString>

namespace jx {

class clsRegistryAccess
{
public:
    struct ParsedKey
    {
        QString root;   // the root's full name; empty when the path names no root
        QString subKey; // may be empty: the root key itself
    };

    // Splits "ROOT\sub\key". Every full root name anywhere in the path is first
    // replaced by its abbreviation (HKCU, HKLM, HKCR, HKUS, HKPD, HKDD, HKCC, in
    // that order, any letter case); then the first four characters name the root.
    static ParsedKey ParseKey(const QString &keyPath);

    // True when the key can be opened for full access: it exists and the
    // registry can be written.
    bool KeyExists(const QString &keyPath) const;

    // The value's text, or `defaultValue` when the key or value is missing or
    // the value needs 255 bytes or more in code page 936 (its terminating NUL
    // included, it does not fit the 255-byte buffer). Cut at an embedded NUL.
    QString ReadString(const QString &keyPath, const QString &valueName, const QString &defaultValue) const;
};

} // namespace jx
