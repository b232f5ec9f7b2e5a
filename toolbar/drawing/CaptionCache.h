#pragma once

#include "toolbar/QvToolbarExport.h"
#include "toolbar/control/StdFont.h"

#include <QHash>
#include <QImage>
#include <QString>

namespace qvtoolbar {

// Rendered captions, kept as masks of the pixels the text covers. Captions
// are drawn without antialiasing, so a glyph pixel is either fully the
// caption colour or untouched: setting the mask's pixels to the colour
// gives exactly what drawing the text again would, without a painter and a
// text layout for every button of every repaint.
class QVTOOLBAR_EXPORT CaptionCache final
{
public:
    // The mask (Format_Alpha8, 255 = glyph) of the text drawn on one line in
    // a width x height box, centred vertically and, when asked, horizontally.
    const QImage &Mask(const QString &text, const StdFont &font, int width, int height, bool centred);
    int Size() const { return int(m_masks.size()); }

private:
    // Captions change rarely; a bar that keeps changing them starts afresh.
    static constexpr int kLimit = 512;
    QHash<QString, QImage> m_masks;
};

} // namespace qvtoolbar
