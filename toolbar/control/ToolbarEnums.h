#pragma once

#include "toolbar/QvToolbarExport.h"

#include <QString>

#include <cstdint>

namespace qvtoolbar {

// Public enumerations; the values are stored in saved property sets.
enum AlignCont : int32_t {
    IconLeftTextRight = 0,
    IconRightTextLeft = 1,
    IconTopTextBottom = 2,
    IconBottomTextTop = 3,
};

enum BtnTypeCont : int32_t {
    Button = 0,
    Separator = 1,
};

// The type-library member names contain a blank ("Normal button" ...);
// BtnStyleName() gives them.
enum BtnStyleCont : int32_t {
    NormalButton = 0,
    CheckButton = 1,
    DropdownButton = 2,
};

enum BtnStateCont : int32_t {
    STA_NORMAL = 0,
    STA_OVER = 1,
    STA_PRESSED = 2,
    STA_OVERDOWN = 3,
    STA_SELECTED = 4,
    STA_DISABLED = 5,
};

enum MoveConst : int32_t {
    ToLeft = 0,
    ToRight = 1,
};

enum jcGradConst : int32_t {
    VerticalGradient = 0,
    HorizontalGradient = 1,
    VCilinderGradient = 2,
    HCilinderGradient = 3,
};

enum ThemeConst : int32_t {
    Blue = 0,
    Silver = 1,
    Olive = 2,
    Visual2005 = 3,
    Norton2004 = 4,
    Autodetect = 5,
};

// Type-library member name of a button style, e.g. "Dropdown button".
QVTOOLBAR_EXPORT QString BtnStyleName(BtnStyleCont style);
// Member name of a theme ("Blue" ...); empty for an unknown value.
QVTOOLBAR_EXPORT QString ThemeName(ThemeConst theme);
// Theme by member name (case-insensitive); false when unknown.
QVTOOLBAR_EXPORT bool ThemeFromName(const QString &name, ThemeConst *theme);

} // namespace qvtoolbar
