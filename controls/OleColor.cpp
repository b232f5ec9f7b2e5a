#include "controls/OleColor.h"

#include <QApplication>
#include <QPalette>

namespace qvcontrols {

QColor oleToColor(int32_t ole)
{
    const auto value = static_cast<uint32_t>(ole);
    if (value & 0x80000000u) {
        const QPalette palette = QApplication::palette();
        switch (value & 0xFFu) {
        case 5: return palette.color(QPalette::Base);             // window background
        case 8: return palette.color(QPalette::Text);             // window text
        case 13: return palette.color(QPalette::Highlight);
        case 14: return palette.color(QPalette::HighlightedText);
        case 16: return palette.color(QPalette::Dark);            // 3-D shadow
        case 17: return palette.color(QPalette::PlaceholderText); // grey text
        case 18: return palette.color(QPalette::ButtonText);
        case 20: return palette.color(QPalette::Light);           // 3-D highlight
        case 15: return palette.color(QPalette::Button);          // button face
        default: return palette.color(QPalette::Window);
        }
    }
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

int32_t colorToOle(const QColor &color)
{
    return static_cast<int32_t>(static_cast<uint32_t>(color.red()) | (static_cast<uint32_t>(color.green()) << 8)
                                | (static_cast<uint32_t>(color.blue()) << 16));
}

} // namespace qvcontrols
