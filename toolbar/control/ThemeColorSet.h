#pragma once

#include "toolbar/QvToolbarExport.h"
#include "toolbar/control/ToolbarEnums.h"

#include <QString>

#include <cstdint>
#include <functional>

namespace qvtoolbar {

// The twelve colour slots of a toolbar (RGB, red in the low byte).
struct QVTOOLBAR_EXPORT ThemeColorSet
{
    int32_t BarLight = 0;
    int32_t BarDark = 0;
    int32_t SeparatorColor = 0;
    int32_t BorderColor = 0;
    int32_t OverTop = 0;
    int32_t OverBottom = 0;
    int32_t PressedTop = 0;
    int32_t PressedBottom = 0;
    int32_t ChevronTop = 0;
    int32_t ChevronBottom = 0;
    int32_t ChevronHotTop = 0;
    int32_t ChevronHotBottom = 0;

    // The full column of a fixed theme (Autodetect and unknown values give
    // Silver).
    static ThemeColorSet Column(ThemeConst theme);
    // Applies a fixed theme the way the control does: the orange hot and
    // pressed slots of Blue first, then the theme's own slots.
    void SetThemeColors(ThemeConst theme);
    // Picks Blue, Olive or Silver from a visual-style colour-scheme name
    // ("NormalColor", "HomeStead", anything else); an empty name means the
    // desktop is not themed.
    void DetectThemeColors(const QString &schemeName);
};

// The desktop's colour-scheme name, as the visual-style service would give
// it; empty when the desktop is not themed. Replaceable for tests.
using SchemeNameProvider = std::function<QString()>;
QVTOOLBAR_EXPORT void SetSchemeNameProvider(SchemeNameProvider provider);
QVTOOLBAR_EXPORT QString CurrentSchemeName();

} // namespace qvtoolbar
