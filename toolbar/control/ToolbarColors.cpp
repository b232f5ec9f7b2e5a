#include "toolbar/control/ToolbarColors.h"

namespace qvtoolbar {

namespace {
// The platform's default system colours (index = low byte of the OLE
// system colour), as red, green, blue.
struct SysColour { int r, g, b; };
constexpr SysColour kSysColours[] = {
    {200, 200, 200}, // 0 scroll bar
    {0, 0, 0},       // 1 desktop
    {153, 180, 209}, // 2 active caption
    {191, 205, 219}, // 3 inactive caption
    {240, 240, 240}, // 4 menu
    {255, 255, 255}, // 5 window
    {100, 100, 100}, // 6 window frame
    {0, 0, 0},       // 7 menu text
    {0, 0, 0},       // 8 window text
    {0, 0, 0},       // 9 caption text
    {180, 180, 180}, // 10 active border
    {244, 247, 252}, // 11 inactive border
    {171, 171, 171}, // 12 application workspace
    {51, 153, 255},  // 13 highlight
    {255, 255, 255}, // 14 highlight text
    {240, 240, 240}, // 15 button face
    {160, 160, 160}, // 16 button shadow
    {109, 109, 109}, // 17 grey text
    {0, 0, 0},       // 18 button text
    {67, 78, 84},    // 19 inactive caption text
    {255, 255, 255}, // 20 button highlight
    {105, 105, 105}, // 21 3-D dark shadow
    {227, 227, 227}, // 22 3-D light
    {0, 0, 0},       // 23 tooltip text
    {255, 255, 225}, // 24 tooltip background
    {181, 181, 181}, // 25 (unused slot)
    {0, 102, 204},   // 26 hot-tracked item
    {185, 209, 234}, // 27 gradient active caption
    {215, 228, 242}, // 28 gradient inactive caption
    {51, 153, 255},  // 29 menu highlight
    {240, 240, 240}, // 30 menu bar
};
} // namespace

int32_t TranslateOleColor(int32_t oleColor)
{
    if (oleColor == -1)
        return -1;
    const uint32_t u = static_cast<uint32_t>(oleColor);
    if (u & 0x80000000u) {
        const uint32_t index = u & 0xFFu;
        if ((u & 0x7FFFFF00u) != 0 || index >= sizeof(kSysColours) / sizeof(kSysColours[0]))
            return 0;
        const SysColour &s = kSysColours[index];
        return OleRgb(s.r, s.g, s.b);
    }
    return static_cast<int32_t>(u & 0xFFFFFFu);
}

int32_t BlendColors(int32_t a, int32_t b)
{
    const int r = RoundEven(((a & 0xFF) + (b & 0xFF)) / 2.0);
    const int g = RoundEven((((a >> 8) & 0xFF) + ((b >> 8) & 0xFF)) / 2.0);
    const int bl = RoundEven((((a >> 16) & 0xFF) + ((b >> 16) & 0xFF)) / 2.0);
    return OleRgb(r, g, bl);
}

} // namespace qvtoolbar
