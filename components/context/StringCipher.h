#pragma once

#include <QString>

/// Authenticated encryption of short texts (libsodium secretbox, key derived from
/// the key text). Output is storable text (Base64 of nonce + cipher text).
class StringCipher
{
public:
    /// Enciphers a text; "" for an empty text.
    QString Encrypt(const QString &text, const QString &key) const;
    /// Gives back the text; "" for an empty, malformed or tampered input or a wrong key.
    QString Decrypt(const QString &text, const QString &key) const;
};
