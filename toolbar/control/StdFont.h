#pragma once

#include "toolbar/QvToolbarExport.h"

#include <QFont>
#include <QString>

#include <cstdint>
#include <memory>

namespace qvtoolbar {

// A standard font object as hosts hand it around: buttons hold it by
// reference, so a change made through one holder is seen by all of them.
class QVTOOLBAR_EXPORT StdFont final
{
public:
    QString Name = QStringLiteral("MS Sans Serif");
    double Size = 8.25; // points
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool Strikethrough = false;
    int16_t Weight = 400;
    int16_t Charset = 0;

    // The font as drawn on a 96-dpi surface: character height
    // -(size * 96 / 72) truncated toward zero, no antialiasing so that
    // glyph pixels carry exactly the text colour.
    QFont toQFont() const;
};

using FontRef = std::shared_ptr<StdFont>;

} // namespace qvtoolbar
