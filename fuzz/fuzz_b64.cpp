// Base64 and encoded words as navigation diagrams carry them, on arbitrary
// bytes and texts.

#include "console/support/b64.h"
#include "platform/com/RuntimeError.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QByteArray decoded = jx::b64::Base64Decode(jx::b64::StripLineBreaks(bytes));
    // Three bytes out for every four in, less padding: never more.
    if (decoded.size() > (bytes.size() + 3) / 4 * 3)
        std::abort();
    const QString text = QString::fromUtf8(bytes);
    jx::b64::Base64DecodeText(text);
    jx::b64::AnsiBytesToText(bytes);
    jx::b64::TextToAnsiBytes(text);
    for (const QString &word : {text, QStringLiteral("=?gb2312?B?") + text}) {
        try {
            jx::b64::DecodeEncodedWord(word);
        } catch (const com::RuntimeError &) {
            // too short to be an encoded word: the documented refusal
        }
    }
    return 0;
}
