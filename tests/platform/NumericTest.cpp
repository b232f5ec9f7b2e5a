#include "platform/Numeric.h"

#include "platform/com/RuntimeError.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(NumericVal, TakesTheLeadingNumber)
{
    EXPECT_DOUBLE_EQ(jx::val(QStringLiteral("12a")), 12.0);
    EXPECT_DOUBLE_EQ(jx::val(QStringLiteral("abc")), 0.0);
    EXPECT_DOUBLE_EQ(jx::val(QStringLiteral(" 1.5e2x")), 150.0);
    EXPECT_DOUBLE_EQ(jx::val(QStringLiteral("\t -3.25")), -3.25);
    EXPECT_DOUBLE_EQ(jx::val(QStringLiteral("+7")), 7.0);
    EXPECT_DOUBLE_EQ(jx::val(QStringLiteral(".5")), 0.5);
    EXPECT_DOUBLE_EQ(jx::val(QStringLiteral("5.")), 5.0);
    EXPECT_DOUBLE_EQ(jx::val(QString()), 0.0);
    EXPECT_DOUBLE_EQ(jx::val(QStringLiteral("1,200")), 1.0);
}

TEST(NumericVal, UsesAnExponentOnlyWhenComplete)
{
    EXPECT_DOUBLE_EQ(jx::val(QStringLiteral("2e")), 2.0);
    EXPECT_DOUBLE_EQ(jx::val(QStringLiteral("2e+")), 2.0);
    EXPECT_DOUBLE_EQ(jx::val(QStringLiteral("2e-1")), 0.2);
    EXPECT_DOUBLE_EQ(jx::val(QStringLiteral("-")), 0.0);
    EXPECT_DOUBLE_EQ(jx::val(QStringLiteral(".")), 0.0);
    EXPECT_DOUBLE_EQ(jx::val(QStringLiteral("-.e5")), 0.0);
}

TEST(NumericVal, OverflowIsAnErrorAndUnderflowIsZero)
{
    try {
        jx::val(QStringLiteral("1e400"));
        FAIL() << "no error for 1e400";
    } catch (const com::RuntimeError &e) {
        EXPECT_EQ(e.number(), 6);
    }
    EXPECT_DOUBLE_EQ(jx::val(QStringLiteral("1e-400")), 0.0);
}

TEST(NumericRounding, TiesGoToEven)
{
    EXPECT_EQ(jx::cint(2.5), 2);
    EXPECT_EQ(jx::cint(3.5), 4);
    EXPECT_EQ(jx::cint(-2.5), -2);
    EXPECT_EQ(jx::cint(-3.5), -4);
    EXPECT_EQ(jx::cint(2.4999), 2);
    EXPECT_EQ(jx::cint(2.5001), 3);
    EXPECT_EQ(jx::cint(32767.4), 32767);
    EXPECT_EQ(jx::cint(-32768.5), -32768);
    EXPECT_EQ(jx::clng(0.5), 0);
    EXPECT_EQ(jx::clng(1.5), 2);
    EXPECT_EQ(jx::clng(2147483647.0), 2147483647);
    EXPECT_DOUBLE_EQ(jx::roundHalfEven(-0.5), 0.0);
}

TEST(NumericRounding, OutOfRangeRaisesOverflow)
{
    try {
        jx::cint(32767.5, QStringLiteral("JxMain1"));
        FAIL() << "cint(32767.5) did not raise";
    } catch (const com::RuntimeError &e) {
        EXPECT_EQ(e.number(), 6);
        EXPECT_EQ(e.description(), QStringLiteral("溢出"));
        EXPECT_EQ(e.source(), QStringLiteral("JxMain1"));
    }
    EXPECT_THROW(jx::cint(-32769.0), com::RuntimeError);
    EXPECT_THROW(jx::clng(2147483647.5), com::RuntimeError);
    EXPECT_THROW(jx::clng(std::numeric_limits<double>::quiet_NaN()), com::RuntimeError);
    EXPECT_THROW(jx::clng(std::numeric_limits<double>::infinity()), com::RuntimeError);
}

TEST(NumericRounding, DecimalsTieToEvenOnTheDecimalValue)
{
    EXPECT_DOUBLE_EQ(jx::roundDecimals(458.33335, 2), 458.33);
    EXPECT_DOUBLE_EQ(jx::roundDecimals(459.4668, 2), 459.47);
    EXPECT_DOUBLE_EQ(jx::roundDecimals(0.125, 2), 0.12);
    EXPECT_DOUBLE_EQ(jx::roundDecimals(0.135, 2), 0.14);
    EXPECT_DOUBLE_EQ(jx::roundDecimals(-0.125, 2), -0.12);
    EXPECT_DOUBLE_EQ(jx::roundDecimals(100000.0 / 12.0, 2), 8333.33);
    EXPECT_DOUBLE_EQ(jx::roundDecimals(9.995, 2), 10.0);
}

TEST(NumericText, GeneralNumberTexts)
{
    EXPECT_EQ(jx::singleText(1.0f / 3.0f), QStringLiteral("0.3333333"));
    EXPECT_EQ(jx::doubleText(1.0 / 3.0), QStringLiteral("0.333333333333333"));
    EXPECT_EQ(jx::doubleText(1e16), QStringLiteral("1E+16"));
    EXPECT_EQ(jx::doubleText(1e15), QStringLiteral("1E+15"));
    EXPECT_EQ(jx::doubleText(123456789012345.0), QStringLiteral("123456789012345"));
    EXPECT_EQ(jx::doubleText(100.0), QStringLiteral("100"));
    EXPECT_EQ(jx::doubleText(0.5), QStringLiteral("0.5"));
    EXPECT_EQ(jx::doubleText(-0.5), QStringLiteral("-0.5"));
    EXPECT_EQ(jx::doubleText(0.0001), QStringLiteral("0.0001"));
    EXPECT_EQ(jx::doubleText(0.00001), QStringLiteral("1E-05"));
    EXPECT_EQ(jx::doubleText(-0.0), QStringLiteral("0"));
    EXPECT_EQ(jx::doubleText(2400.0), QStringLiteral("2400"));
    EXPECT_EQ(jx::singleText(1234567.75f), QStringLiteral("1234568"));
    EXPECT_EQ(jx::singleText(12345678.0f), QStringLiteral("1.234568E+07"));
    EXPECT_EQ(jx::singleText(800000.0f), QStringLiteral("800000"));
}

TEST(NumericText, ProductsOfSingleTotalsPrintLikeTheRuntime)
{
    // The deed tax of a total typed as 1,234,567.8 (kept in single precision).
    const float total = static_cast<float>(jx::val(QStringLiteral("1234567.8")));
    EXPECT_EQ(jx::doubleText(static_cast<double>(total) * 0.015), QStringLiteral("18518.51625"));
    EXPECT_EQ(jx::doubleText(800000.0 * 0.0005), QStringLiteral("400"));
    EXPECT_EQ(jx::doubleText(800000.0 * 0.003), QStringLiteral("2400"));
}

TEST(NumericText, ValuesAppendedToTheEmptyText)
{
    EXPECT_EQ(jx::toText(QVariant()), QString());
    EXPECT_EQ(jx::toText(QVariant(true)), QStringLiteral("True"));
    EXPECT_EQ(jx::toText(QVariant(false)), QStringLiteral("False"));
    EXPECT_EQ(jx::toText(QVariant(2.5)), QStringLiteral("2.5"));
    EXPECT_EQ(jx::toText(QVariant(1e16)), QStringLiteral("1E+16"));
    EXPECT_EQ(jx::toText(QVariant(1.0f / 3.0f)), QStringLiteral("0.3333333"));
    EXPECT_EQ(jx::toText(QVariant(42)), QStringLiteral("42"));
    EXPECT_EQ(jx::toText(QVariant(qlonglong(-7))), QStringLiteral("-7"));
    EXPECT_EQ(jx::toText(QVariant(QStringLiteral("文本"))), QStringLiteral("文本"));
    EXPECT_EQ(jx::toText(QVariant(QDate(2009, 2, 3))), QStringLiteral("2009-2-3"));
}

TEST(NumericFormat, ThousandsPatternWithTwoDecimals)
{
    const QString p = QStringLiteral("###,###.00");
    EXPECT_EQ(jx::formatPattern(0.0, p), QStringLiteral(".00"));
    EXPECT_EQ(jx::formatPattern(1234.5, p), QStringLiteral("1,234.50"));
    EXPECT_EQ(jx::formatPattern(0.005, p), QStringLiteral(".01"));
    EXPECT_EQ(jx::formatPattern(-1234.5, p), QStringLiteral("-1,234.50"));
    EXPECT_EQ(jx::formatPattern(0.5, p), QStringLiteral(".50"));
    EXPECT_EQ(jx::formatPattern(999.995, p), QStringLiteral("1,000.00"));
    EXPECT_EQ(jx::formatPattern(500000.0, p), QStringLiteral("500,000.00"));
    EXPECT_EQ(jx::formatPattern(1234567.891, p), QStringLiteral("1,234,567.89"));
    EXPECT_EQ(jx::formatPattern(123456.0, p), QStringLiteral("123,456.00"));
    EXPECT_EQ(jx::formatPattern(12.0, p), QStringLiteral("12.00"));
    EXPECT_EQ(jx::formatPattern(8606.64419, p), QStringLiteral("8,606.64"));
    // A negative value that rounds to zero has no sign.
    EXPECT_EQ(jx::formatPattern(-0.001, p), QStringLiteral(".00"));
    // Half away from zero on a value whose binary form is just below the tie.
    EXPECT_EQ(jx::formatPattern(1.005, p), QStringLiteral("1.01"));
    EXPECT_EQ(jx::formatPattern(-2.675, p), QStringLiteral("-2.68"));
}

TEST(NumericFormat, PlainAndPaddedPatterns)
{
    EXPECT_EQ(jx::formatPattern(350000.0, QStringLiteral("#########.00")), QStringLiteral("350000.00"));
    EXPECT_EQ(jx::formatPattern(1234567.5, QStringLiteral("#########.00")), QStringLiteral("1234567.50"));
    EXPECT_EQ(jx::formatPattern(0.0, QStringLiteral("#########.00")), QStringLiteral(".00"));
    EXPECT_EQ(jx::formatPattern(7.0, QStringLiteral("000")), QStringLiteral("007"));
    EXPECT_EQ(jx::formatPattern(12.0, QStringLiteral("000")), QStringLiteral("012"));
    EXPECT_EQ(jx::formatPattern(1234.0, QStringLiteral("000")), QStringLiteral("1234"));
    EXPECT_EQ(jx::formatPattern(0.0, QStringLiteral("000")), QStringLiteral("000"));
    EXPECT_EQ(jx::formatPattern(2.5, QStringLiteral("000")), QStringLiteral("003"));
}

TEST(NumericFormat, UnsupportedPatternIsAnError)
{
    EXPECT_THROW(jx::formatPattern(1.0, QStringLiteral("yyyy-mm-dd")), com::RuntimeError);
    EXPECT_THROW(jx::formatPattern(std::numeric_limits<double>::infinity(), QStringLiteral("000")),
                 com::RuntimeError);
}

TEST(NumericDate, ValidTriplesAndTexts)
{
    EXPECT_TRUE(jx::isDate(2009, 2, 28));
    EXPECT_FALSE(jx::isDate(2009, 2, 30));
    EXPECT_TRUE(jx::isDate(2008, 2, 29));
    EXPECT_FALSE(jx::isDate(1900, 2, 29));
    EXPECT_FALSE(jx::isDate(2009, 13, 1));
    EXPECT_FALSE(jx::isDate(2009, 0, 1));

    EXPECT_EQ(jx::parseDate(QStringLiteral("2009-2-3")), QDate(2009, 2, 3));
    EXPECT_EQ(jx::parseDate(QStringLiteral("2009-12-31")), QDate(2009, 12, 31));
    EXPECT_EQ(jx::parseDate(QStringLiteral("2009/02/03")), QDate(2009, 2, 3));
    EXPECT_FALSE(jx::parseDate(QStringLiteral("2009-2-30")).isValid());
    EXPECT_FALSE(jx::parseDate(QStringLiteral("2009-2")).isValid());
    EXPECT_FALSE(jx::parseDate(QStringLiteral("2009-2/3")).isValid());
    EXPECT_FALSE(jx::parseDate(QStringLiteral("abc")).isValid());
    EXPECT_TRUE(jx::isDate(QStringLiteral("2009-1-31")));
    EXPECT_FALSE(jx::isDate(QStringLiteral("2009-1-32")));
}

} // namespace
