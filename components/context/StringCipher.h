#pragma once

#include "jx_components_export.h"

#include "components/context/UserSecret.h"

#include <QString>

#include <utility>

/// Authenticated encryption of short texts (libsodium secretbox). The key is
/// derived from the key text together with the user's own random secret
/// (UserSecret), so a text enciphered for one user cannot be read from a
/// copied settings file by another, nor once the secret is gone. Output is
/// storable text (Base64 of nonce + cipher text).
class JX_COMPONENTS_EXPORT StringCipher
{
public:
    /// With the user's secret from its usual place.
    StringCipher() = default;
    explicit StringCipher(UserSecret secret) : m_secret(std::move(secret)) {}

    /// Enciphers a text; "" for an empty text, or when the user has no secret and none can be made.
    QString Encrypt(const QString &text, const QString &key) const;
    /// Gives back the text; "" for an empty, malformed or tampered input, a wrong key,
    /// or another user's (or a removed) secret.
    QString Decrypt(const QString &text, const QString &key) const;

private:
    UserSecret m_secret;
};
