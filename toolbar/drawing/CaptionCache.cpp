#include "toolbar/drawing/CaptionCache.h"

#include <QPainter>

namespace qvtoolbar {

const QImage &CaptionCache::Mask(const QString &text, const StdFont &font, int width, int height, bool centred)
{
    // Everything that changes the rendered pixels; the text comes last, so
    // no caption can pass for another.
    QString key;
    key.reserve(font.Name.size() + text.size() + 48);
    key += font.Name;
    key += QLatin1Char('|');
    key += QString::number(font.Size, 'g', 17);
    key += QLatin1Char('|');
    for (int v : {int(font.Weight), int(font.Charset), int(font.Bold), int(font.Italic), int(font.Underline),
                  int(font.Strikethrough), centred ? 1 : 0, width, height}) {
        key += QString::number(v);
        key += QLatin1Char('|');
    }
    key += text;
    auto it = m_masks.constFind(key);
    if (it != m_masks.constEnd())
        return *it;
    if (m_masks.size() >= kLimit)
        m_masks.clear();
    QImage mask(width, height, QImage::Format_Alpha8);
    mask.fill(0);
    {
        QPainter p(&mask);
        p.setFont(font.toQFont());
        p.setPen(QColor(0, 0, 0, 255));
        const int flags = Qt::TextSingleLine | Qt::AlignVCenter | (centred ? Qt::AlignHCenter : Qt::AlignLeft);
        p.drawText(QRect(0, 0, width, height), flags, text);
    }
    return *m_masks.insert(key, mask);
}

} // namespace qvtoolbar
