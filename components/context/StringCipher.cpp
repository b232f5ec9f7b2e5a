#include "components/context/StringCipher.h"

#include "components/context/Sodium.h"

#include <QByteArray>

#include <sodium.h>

namespace {
// The key text is stretched by a hash keyed with the user's secret, so any
// length of key text gives a full key, and only this user's secret gives his.
void deriveKey(const QString &keyText, const QByteArray &secret, unsigned char key[crypto_secretbox_KEYBYTES])
{
    static const char context[] = "jx.string-cipher.v2:";
    const QByteArray input = QByteArray(context) + keyText.toUtf8();
    crypto_generichash(key, crypto_secretbox_KEYBYTES, reinterpret_cast<const unsigned char *>(input.constData()),
                       static_cast<unsigned long long>(input.size()),
                       reinterpret_cast<const unsigned char *>(secret.constData()), static_cast<size_t>(secret.size()));
}
} // namespace

QString StringCipher::Encrypt(const QString &text, const QString &key) const
{
    if (text.isEmpty() || !jxSodiumReady())
        return {};
    QByteArray secret = m_secret.value(true);
    if (secret.isEmpty())
        return {}; // nothing that only this user could read back
    unsigned char k[crypto_secretbox_KEYBYTES];
    deriveKey(key, secret, k);
    sodium_memzero(secret.data(), static_cast<size_t>(secret.size()));
    const QByteArray plain = text.toUtf8();
    QByteArray out(crypto_secretbox_NONCEBYTES + crypto_secretbox_MACBYTES + plain.size(), '\0');
    auto *nonce = reinterpret_cast<unsigned char *>(out.data());
    randombytes_buf(nonce, crypto_secretbox_NONCEBYTES);
    crypto_secretbox_easy(nonce + crypto_secretbox_NONCEBYTES, reinterpret_cast<const unsigned char *>(plain.constData()),
                          static_cast<unsigned long long>(plain.size()), nonce, k);
    sodium_memzero(k, sizeof k);
    return QString::fromLatin1(out.toBase64());
}

QString StringCipher::Decrypt(const QString &text, const QString &key) const
{
    if (text.isEmpty() || !jxSodiumReady())
        return {};
    const auto decoded = QByteArray::fromBase64Encoding(text.trimmed().toLatin1(),
                                                        QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        return {};
    const QByteArray &data = *decoded;
    const int minimum = crypto_secretbox_NONCEBYTES + crypto_secretbox_MACBYTES;
    if (data.size() < minimum)
        return {};
    QByteArray secret = m_secret.value(false);
    if (secret.isEmpty())
        return {}; // the secret is gone, or belongs to another account
    unsigned char k[crypto_secretbox_KEYBYTES];
    deriveKey(key, secret, k);
    sodium_memzero(secret.data(), static_cast<size_t>(secret.size()));
    const auto *nonce = reinterpret_cast<const unsigned char *>(data.constData());
    QByteArray plain(data.size() - minimum, '\0');
    const int rc = crypto_secretbox_open_easy(reinterpret_cast<unsigned char *>(plain.data()),
                                              nonce + crypto_secretbox_NONCEBYTES,
                                              static_cast<unsigned long long>(data.size() - crypto_secretbox_NONCEBYTES),
                                              nonce, k);
    sodium_memzero(k, sizeof k);
    if (rc != 0)
        return {};
    return QString::fromUtf8(plain);
}
