#include "platform/com/Guid.h"

namespace com {

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
    QString t = text.trimmed();
    if (t.startsWith(QLatin1Char('{')) && t.endsWith(QLatin1Char('}')))
        t = t.mid(1, t.size() - 2);
    // 8-4-4-4-12
    if (t.size() != 36 || t[8] != QLatin1Char('-') || t[13] != QLatin1Char('-') || t[18] != QLatin1Char('-')
        || t[23] != QLatin1Char('-'))
        return std::nullopt;
    const QString hex = QString(t).remove(QLatin1Char('-'));
    if (hex.size() != 32)
        return std::nullopt;
    bool ok = true;
    auto part = [&](int from, int len) -> uint32_t {
        bool partOk = false;
        const uint32_t v = hex.mid(from, len).toUInt(&partOk, 16);
        ok = ok && partOk;
        return v;
    };
    GUID g{};
    g.Data1 = part(0, 8);
    g.Data2 = static_cast<uint16_t>(part(8, 4));
    g.Data3 = static_cast<uint16_t>(part(12, 4));
    for (int i = 0; i < 8; ++i)
        g.Data4[i] = static_cast<uint8_t>(part(16 + 2 * i, 2));
    if (!ok)
        return std::nullopt;
    return g;
}

GUID guid(const char *text)
{
    return guidFromString(QString::fromLatin1(text)).value_or(GUID_NULL);
}

} // namespace com
