#include "platform/Numeric.h"

#include "platform/com/RuntimeError.h"

#include <QDateTime>
#include <QRegularExpression>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

namespace jx {

namespace {

const QString kOverflowText = QStringLiteral("溢出");
const QString kInvalidCallText = QStringLiteral("无效的过程调用或参数");

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Decimal digits of |value| cut to 15 significant digits (what the runtime
// treats as the value's decimal form) and rounded at `decimals` places.
struct Decimal
{
    bool negative = false;
    std::string whole;    // no leading zeros, may be empty for 0
    std::string fraction; // exactly `decimals` digits
};

Decimal toDecimal(double value, int decimals, bool halfEven)
{
    Decimal d;
    d.negative = std::signbit(value);
    const double magnitude = std::fabs(value);
    char buf[64];
    // The same correctly rounded digits as printf's "%.14e", several times faster
    // (every amount of a loan schedule passes through here).
    const auto written = std::to_chars(buf, buf + sizeof buf - 1, magnitude, std::chars_format::scientific, 14);
    *written.ptr = '\0';
    // buf: "d.dddddddddddddde+XX"
    std::string digits;
    const char *p = buf;
    for (; *p && *p != 'e'; ++p) {
        if (*p >= '0' && *p <= '9')
            digits.push_back(*p);
    }
    const int exponent = *p == 'e' ? std::atoi(p + 1) : 0;
    int pointPos = magnitude == 0.0 ? 1 : exponent + 1; // digits before the point
    if (pointPos <= 0) {
        digits.insert(0, static_cast<size_t>(1 - pointPos), '0');
        pointPos = 1;
    }
    const size_t needed = static_cast<size_t>(pointPos + decimals + 1);
    if (digits.size() < needed)
        digits.append(needed - digits.size(), '0');

    const size_t cut = static_cast<size_t>(pointPos + decimals);
    bool roundUp = false;
    const char next = digits[cut];
    if (next > '5') {
        roundUp = true;
    } else if (next == '5') {
        if (!halfEven) {
            roundUp = true;
        } else {
            const bool beyond = digits.find_first_not_of('0', cut + 1) != std::string::npos;
            const bool lastOdd = cut > 0 && ((digits[cut - 1] - '0') % 2 == 1);
            roundUp = beyond || lastOdd;
        }
    }
    digits.resize(cut);
    if (roundUp) {
        int i = static_cast<int>(cut) - 1;
        for (; i >= 0; --i) {
            if (digits[static_cast<size_t>(i)] == '9') {
                digits[static_cast<size_t>(i)] = '0';
            } else {
                ++digits[static_cast<size_t>(i)];
                break;
            }
        }
        if (i < 0) {
            digits.insert(0, 1, '1');
            ++pointPos;
        }
    }
    d.whole = digits.substr(0, static_cast<size_t>(pointPos));
    d.fraction = digits.substr(static_cast<size_t>(pointPos));
    const size_t firstNonZero = d.whole.find_first_not_of('0');
    d.whole = firstNonZero == std::string::npos ? std::string() : d.whole.substr(firstNonZero);
    if (d.whole.empty() && d.fraction.find_first_not_of('0') == std::string::npos)
        d.negative = false;
    return d;
}

QString generalText(double value, int precision)
{
    if (std::isnan(value))
        return QStringLiteral("NaN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("Infinity") : QStringLiteral("-Infinity");
    if (value == 0.0)
        return QStringLiteral("0"); // also for -0
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*G", precision, value);
    return QString::fromLatin1(buf);
}

int32_t checkedRound(double value, double low, double high, const QString &source)
{
    const double r = roundHalfEven(value);
    if (std::isnan(r) || r < low || r > high)
        throw com::RuntimeError(com::errors::Overflow, source, kOverflowText);
    return static_cast<int32_t>(r);
}

} // namespace

double val(const QString &text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && isBlank(text[i]))
        ++i;
    std::string number;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        if (text[i] == u'-')
            number.push_back('-');
        ++i;
    }
    bool anyDigit = false;
    while (i < n && isDigit(text[i])) {
        number.push_back(static_cast<char>(text[i].unicode()));
        anyDigit = true;
        ++i;
    }
    if (i < n && text[i] == u'.') {
        number.push_back('.');
        ++i;
        while (i < n && isDigit(text[i])) {
            number.push_back(static_cast<char>(text[i].unicode()));
            anyDigit = true;
            ++i;
        }
    }
    if (!anyDigit)
        return 0.0;
    // The exponent belongs to the number only when it is complete.
    if (i < n && (text[i] == u'e' || text[i] == u'E' || text[i] == u'd' || text[i] == u'D')) {
        qsizetype j = i + 1;
        std::string exponent = "e";
        if (j < n && (text[j] == u'+' || text[j] == u'-')) {
            exponent.push_back(static_cast<char>(text[j].unicode()));
            ++j;
        }
        bool expDigit = false;
        while (j < n && isDigit(text[j])) {
            exponent.push_back(static_cast<char>(text[j].unicode()));
            expDigit = true;
            ++j;
        }
        if (expDigit)
            number += exponent;
    }
    if (number.back() == '.')
        number.pop_back();
    double result = 0.0;
    const char *first = number.data();
    const char *last = number.data() + number.size();
    const auto [ptr, ec] = std::from_chars(first, last, result);
    if (ec == std::errc::result_out_of_range) {
        // Underflow reads as zero; overflow is an error as in the runtime.
        const std::string::size_type e = number.find('e');
        if (e != std::string::npos && number.find('-', e) != std::string::npos)
            return 0.0;
        throw com::RuntimeError(com::errors::Overflow, QString(), kOverflowText);
    }
    if (ec != std::errc() || std::isinf(result))
        throw com::RuntimeError(com::errors::Overflow, QString(), kOverflowText);
    return result;
}

double roundHalfEven(double value)
{
    // nearbyint follows the current rounding mode, which is to-nearest-even
    // unless someone changed it; do not rely on that.
    const double floorValue = std::floor(value);
    const double diff = value - floorValue;
    if (diff < 0.5)
        return floorValue;
    if (diff > 0.5)
        return floorValue + 1.0;
    return std::fmod(floorValue, 2.0) == 0.0 ? floorValue : floorValue + 1.0;
}

double roundDecimals(double value, int decimals)
{
    if (!std::isfinite(value) || decimals < 0)
        return value;
    const Decimal d = toDecimal(value, decimals, true);
    const std::string text = (d.negative ? "-" : "") + (d.whole.empty() ? std::string("0") : d.whole)
        + (d.fraction.empty() ? std::string() : "." + d.fraction);
    double result = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), result);
    return result;
}

int16_t cint(double value, const QString &source)
{
    return static_cast<int16_t>(checkedRound(value, -32768.0, 32767.0, source));
}

int32_t clng(double value, const QString &source)
{
    return checkedRound(value, -2147483648.0, 2147483647.0, source);
}

QString singleText(float value)
{
    return generalText(static_cast<double>(value), 7);
}

QString doubleText(double value)
{
    return generalText(value, 15);
}

QString toText(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return QString();
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::Double:
        return doubleText(value.toDouble());
    case QMetaType::Float:
        return singleText(value.toFloat());
    case QMetaType::QDate:
        return value.toDate().toString(QStringLiteral("yyyy-M-d"));
    case QMetaType::QDateTime: {
        const QDateTime dt = value.toDateTime();
        if (dt.time() == QTime(0, 0))
            return dt.date().toString(QStringLiteral("yyyy-M-d"));
        return dt.toString(QStringLiteral("yyyy-M-d H:mm:ss"));
    }
    default:
        return value.toString();
    }
}

QString formatPattern(double value, const QString &pattern)
{
    if (pattern.isEmpty())
        return doubleText(value);
    if (!std::isfinite(value))
        throw com::RuntimeError(com::errors::Overflow, QString(), kOverflowText);

    int wholeZeros = 0;
    bool grouping = false;
    bool hasPoint = false;
    int fractionPlaces = 0;
    int fractionZeros = 0;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == u'.' && !hasPoint) {
            hasPoint = true;
        } else if (c == u'0' || c == u'#') {
            if (hasPoint) {
                ++fractionPlaces;
                if (c == u'0')
                    ++fractionZeros;
            } else if (c == u'0') {
                ++wholeZeros;
            }
        } else if (c == u',' && !hasPoint && i + 1 < pattern.size()
                   && (pattern[i + 1] == u'#' || pattern[i + 1] == u'0')) {
            grouping = true;
        } else {
            throw com::RuntimeError(com::errors::InvalidProcedureCall, QString(), kInvalidCallText);
        }
    }

    Decimal d = toDecimal(value, fractionPlaces, false);
    while (static_cast<int>(d.fraction.size()) > fractionZeros && d.fraction.back() == '0')
        d.fraction.pop_back();
    std::string whole = d.whole;
    if (static_cast<int>(whole.size()) < wholeZeros)
        whole.insert(0, static_cast<size_t>(wholeZeros) - whole.size(), '0');
    if (grouping && whole.size() > 3) {
        std::string grouped;
        for (size_t i = 0; i < whole.size(); ++i) {
            if (i > 0 && (whole.size() - i) % 3 == 0)
                grouped.push_back(',');
            grouped.push_back(whole[i]);
        }
        whole = grouped;
    }
    std::string out = d.negative ? "-" : "";
    out += whole;
    if (hasPoint)
        out += "." + d.fraction;
    return QString::fromLatin1(out.data(), static_cast<qsizetype>(out.size()));
}

bool isDate(int year, int month, int day)
{
    return year >= 100 && year <= 9999 && QDate::isValid(year, month, day);
}

QDate parseDate(const QString &text)
{
    static const QRegularExpression pattern(
        QStringLiteral("^\\s*(\\d{1,4})([-/])(\\d{1,2})\\2(\\d{1,2})\\s*$"));
    const QRegularExpressionMatch m = pattern.match(text);
    if (!m.hasMatch())
        return QDate();
    const int y = m.captured(1).toInt();
    const int mo = m.captured(3).toInt();
    const int d = m.captured(4).toInt();
    if (!isDate(y, mo, d))
        return QDate();
    return QDate(y, mo, d);
}

bool isDate(const QString &text)
{
    return parseDate(text).isValid();
}

QString trimBlanks(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == u' ')
        ++first;
    while (last > first && text[last - 1] == u' ')
        --last;
    return text.mid(first, last - first);
}

} // namespace jx
