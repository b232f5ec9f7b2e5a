#pragma once

#include "jx_platform_export.h"

#include <QDate>
#include <QString>
#include <QVariant>

#include <cstdint>

namespace jx {

// Lenient number parse: the leading number of the text, 0 when there is none.
// Leading blanks are skipped; an exponent counts only when it has digits.
// Throws com::RuntimeError(6) when the number does not fit a double.
JX_PLATFORM_EXPORT double val(const QString &text);

// Round to the nearest integer, ties to even, and check the range.
// Throws com::RuntimeError(6, source, "溢出") when out of range (or NaN).
JX_PLATFORM_EXPORT int16_t cint(double value, const QString &source = QString());
JX_PLATFORM_EXPORT int32_t clng(double value, const QString &source = QString());

// Round to nearest, ties to even, without range check.
JX_PLATFORM_EXPORT double roundHalfEven(double value);

// Round to the given number of decimals, ties to even on the decimal value.
JX_PLATFORM_EXPORT double roundDecimals(double value, int decimals);

// General number text: up to 7 (single) or 15 (double) significant digits,
// no trailing zeros, scientific form ("1E+16", "1E-05") for large and small
// magnitudes.
JX_PLATFORM_EXPORT QString singleText(float value);
JX_PLATFORM_EXPORT QString doubleText(double value);

// The text without leading and trailing blanks (U+0020 only): where the
// product trims, tabs, line breaks and ideographic spaces belong to the text.
JX_PLATFORM_EXPORT QString trimBlanks(const QString &text);

// Text of a value appended to the empty text: null -> "", booleans
// "True"/"False", floating point through the general number text.
JX_PLATFORM_EXPORT QString toText(const QVariant &value);

// Numeric pattern made of '#', '0', ',' and one '.' ("###,###.00",
// "#########.00", "000"). Decimals round half away from zero; '#' positions
// print nothing for a zero whole part. Other pattern characters raise
// com::RuntimeError(5).
JX_PLATFORM_EXPORT QString formatPattern(double value, const QString &pattern);

// True when year-month-day names a real calendar day (years 100..9999).
JX_PLATFORM_EXPORT bool isDate(int year, int month, int day);
// True when the text is a date "yyyy-m-d" (also "yyyy/m/d") naming a real day.
JX_PLATFORM_EXPORT bool isDate(const QString &text);
// The date of a "yyyy-m-d" text, an invalid QDate when it is not one.
JX_PLATFORM_EXPORT QDate parseDate(const QString &text);

} // namespace jx
