#pragma once

#include "platform/com/ComTypes.h"

#include <QString>

#include <optional>

namespace com {

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper case.
QVCOM_EXPORT QString guidToString(const GUID &guid);
// Accepts the braced form, with or without braces, in any letter case.
QVCOM_EXPORT std::optional<GUID> guidFromString(const QString &text);
// For identifiers fixed at compile time; an invalid text gives GUID_NULL.
QVCOM_EXPORT GUID guid(const char *text);

namespace detail {
consteval uint32_t hexDigits(const char *text, int from, int count)
{
    uint32_t value = 0;
    for (int i = from; i < from + count; ++i) {
        const char c = text[i];
        const uint32_t digit = c >= '0' && c <= '9' ? uint32_t(c - '0')
            : c >= 'A' && c <= 'F'                  ? uint32_t(c - 'A' + 10)
            : c >= 'a' && c <= 'f'                  ? uint32_t(c - 'a' + 10)
                                                    : throw "not a hexadecimal digit in an identifier";
        value = value << 4 | digit;
    }
    return value;
}
} // namespace detail

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" read while compiling, so an
// identifier is written once, as the text a type-library description
// carries, and code takes its value from the same text. A malformed one
// does not compile.
consteval GUID guidLiteral(const char (&text)[39])
{
    if (text[0] != '{' || text[9] != '-' || text[14] != '-' || text[19] != '-' || text[24] != '-' || text[37] != '}')
        throw "an identifier is written {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}";
    GUID g{};
    g.Data1 = detail::hexDigits(text, 1, 8);
    g.Data2 = uint16_t(detail::hexDigits(text, 10, 4));
    g.Data3 = uint16_t(detail::hexDigits(text, 15, 4));
    g.Data4[0] = uint8_t(detail::hexDigits(text, 20, 2));
    g.Data4[1] = uint8_t(detail::hexDigits(text, 22, 2));
    for (int i = 0; i < 6; ++i)
        g.Data4[2 + i] = uint8_t(detail::hexDigits(text, 25 + 2 * i, 2));
    return g;
}

} // namespace com
