#pragma once

#include <QString>

// Number reading, rounding and text forms used by the calculators. They follow
// the runtime rules of the product: lenient reading, ties-to-even rounding,
// the "###,###.00" pattern rounding half away from zero.
namespace calcnum {

// Leading number of a text ("12abc" -> 12, "abc" -> 0, "1,200" -> 1); blanks are ignored.
double val(const QString &text);

// val() of the text with every "," removed first.
double valNoSeparators(const QString &text);

// Rounds to two decimals, an exact tie going to the even neighbour.
double round2(double x);

// Converts to single precision; throws com::RuntimeError (overflow) when out of range or not a number.
float toSingle(double x);

// Throws com::RuntimeError (overflow) unless x is finite; returns x.
double checked(double x);

// Pattern "###,###.00": thousands separators, two decimals, half away from zero, ".00" for zero.
QString formatMoney(double x);

// Pattern "#########.00": as formatMoney() without separators.
QString formatPlain2(double x);

// Pattern "000".
QString formatPeriod(int period);

// General number text of a single: up to 7 significant digits, no trailing zeros.
QString singleText(float x);

// General number text of a double: up to 15 significant digits, no trailing zeros.
QString doubleText(double x);

} // namespace calcnum
