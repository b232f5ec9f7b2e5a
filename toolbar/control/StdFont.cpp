#include "toolbar/control/StdFont.h"

namespace qvtoolbar {

QFont StdFont::toQFont() const
{
    QFont f(Name);
    const int px = static_cast<int>(Size * 96.0 / 72.0); // truncation toward zero
    f.setPixelSize(px > 0 ? px : 1);
    f.setBold(Bold || Weight > 400);
    f.setItalic(Italic);
    f.setUnderline(Underline);
    f.setStrikeOut(Strikethrough);
    f.setStyleStrategy(QFont::NoAntialias);
    return f;
}

} // namespace qvtoolbar
