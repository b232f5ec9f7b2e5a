#include "platform/com/Guid.h"

namespace com {

namespace {

int hexDigit(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    return -1;
}

} // namespace

QString guidToString(const GUID &g)
{
    QString s = QStringLiteral("{%1-%2-%3-%4%5-")
                    .arg(g.Data1, 8, 16, QLatin1Char('0'))
                    .arg(g.Data2, 4, 16, QLatin1Char('0'))
                    .arg(g.Data3, 4, 16, QLatin1Char('0'))
                    .arg(g.Data4[0], 2, 16, QLatin1Char('0'))
                    .arg(g.Data4[1], 2, 16, QLatin1Char('0'));
    for (int i = 2; i < 8; ++i)
        s += QStringLiteral("%1").arg(g.Data4[i], 2, 16, QLatin1Char('0'));
    s += QLatin1Char('}');
    return s.toUpper();
}

std::optional<GUID> guidFromString(const QString &text)
{
    QStringView t = QStringView(text).trimmed();
    if (t.startsWith(u'{') && t.endsWith(u'}'))
        t = t.sliced(1, t.size() - 2);
    // 8-4-4-4-12, read in place: every class created by name reads several.
    if (t.size() != 36 || t[8] != u'-' || t[13] != u'-' || t[18] != u'-' || t[23] != u'-')
        return std::nullopt;
    bool ok = true;
    auto part = [&](qsizetype from, qsizetype count) -> uint32_t {
        uint32_t value = 0;
        for (qsizetype i = from; i < from + count; ++i) {
            const int digit = hexDigit(t[i].unicode());
            ok = ok && digit >= 0;
            value = value << 4 | uint32_t(digit & 0xF);
        }
        return value;
    };
    GUID g{};
    g.Data1 = part(0, 8);
    g.Data2 = static_cast<uint16_t>(part(9, 4));
    g.Data3 = static_cast<uint16_t>(part(14, 4));
    g.Data4[0] = static_cast<uint8_t>(part(19, 2));
    g.Data4[1] = static_cast<uint8_t>(part(21, 2));
    for (int i = 0; i < 6; ++i)
        g.Data4[2 + i] = static_cast<uint8_t>(part(24 + 2 * i, 2));
    if (!ok)
        return std::nullopt;
    return g;
}

GUID guid(const char *text)
{
    return guidFromString(QString::fromLatin1(text)).value_or(GUID_NULL);
}

} // namespace com
