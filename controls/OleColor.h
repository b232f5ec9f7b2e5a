#pragma once

#include <QColor>

#include <cstdint>

namespace qvcontrols {

// OLE colours: 0x00BBGGRR, or a system colour when the top bit is set (the
// low byte then names the system colour, translated through the palette).
QColor oleToColor(int32_t ole);
int32_t colorToOle(const QColor &color);

} // namespace qvcontrols
