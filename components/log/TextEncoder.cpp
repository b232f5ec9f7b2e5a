#include "components/log/TextEncoder.h"

QString TextEncoder::Encode(const QString &text) const
{
    QString out;
    out.reserve(text.size() + text.size() / 8);
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        switch (u) {
        case u'&': out += QStringLiteral("&amp;"); break;
        case u'<': out += QStringLiteral("&lt;"); break;
        case u'>': out += QStringLiteral("&gt;"); break;
        case u'"': out += QStringLiteral("&quot;"); break;
        case u'\'': out += QStringLiteral("&apos;"); break;
        default:
            // XML 1.0 allows only tab, newline and carriage return below 0x20, and not U+FFFE/U+FFFF.
            if ((u < 0x20 && u != 0x09 && u != 0x0A && u != 0x0D) || u == 0xFFFE || u == 0xFFFF)
                break;
            out += c;
        }
    }
    return out;
}
