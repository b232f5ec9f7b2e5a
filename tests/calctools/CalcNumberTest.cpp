#include "calctools/CalcNumber.h"
#include "platform/com/RuntimeError.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <limits>

using namespace calcnum;

TEST(CalcNumber, ValReadsLeadingNumber)
{
    EXPECT_DOUBLE_EQ(val(QStringLiteral("12abc")), 12.0);
    EXPECT_DOUBLE_EQ(val(QStringLiteral("abc")), 0.0);
    EXPECT_DOUBLE_EQ(val(QString()), 0.0);
    EXPECT_DOUBLE_EQ(val(QStringLiteral("1,200")), 1.0);
    EXPECT_DOUBLE_EQ(val(QStringLiteral("  12.5")), 12.5);
    EXPECT_THROW(val(QStringLiteral("1e999")), com::RuntimeError);
    EXPECT_DOUBLE_EQ(val(QStringLiteral("-3.25e2x")), -325.0);
    EXPECT_DOUBLE_EQ(val(QStringLiteral("7e")), 7.0);
    EXPECT_DOUBLE_EQ(val(QStringLiteral(".5")), 0.5);
    EXPECT_DOUBLE_EQ(val(QStringLiteral("５")), 0.0); // full-width digits are not digits
    EXPECT_DOUBLE_EQ(valNoSeparators(QStringLiteral("1,234,567.8")), 1234567.8);
}

TEST(CalcNumber, Round2TiesGoToEven)
{
    EXPECT_DOUBLE_EQ(round2(0.125), 0.12);
    EXPECT_DOUBLE_EQ(round2(0.375), 0.38);
    EXPECT_DOUBLE_EQ(round2(-0.125), -0.12);
    EXPECT_DOUBLE_EQ(round2(458.33335), 458.33);
    EXPECT_DOUBLE_EQ(round2(459.4668), 459.47);
    EXPECT_DOUBLE_EQ(round2(8106.640), 8106.64);
    EXPECT_THROW(round2(std::numeric_limits<double>::quiet_NaN()), com::RuntimeError);
}

TEST(CalcNumber, MoneyPatternRoundsHalfAwayAndGroups)
{
    EXPECT_EQ(formatMoney(0.0), QStringLiteral(".00"));
    EXPECT_EQ(formatMoney(0.004), QStringLiteral(".00"));
    EXPECT_EQ(formatMoney(0.005), QStringLiteral(".01"));
    EXPECT_EQ(formatMoney(0.125), QStringLiteral(".13"));
    EXPECT_EQ(formatMoney(1.005), QStringLiteral("1.01"));
    EXPECT_EQ(formatMoney(999.995), QStringLiteral("1,000.00"));
    EXPECT_EQ(formatMoney(500000.0), QStringLiteral("500,000.00"));
    EXPECT_EQ(formatMoney(1234567.75), QStringLiteral("1,234,567.75"));
    EXPECT_EQ(formatMoney(123.4), QStringLiteral("123.40"));
    EXPECT_EQ(formatMoney(-1234.5), QStringLiteral("-1,234.50"));
    EXPECT_EQ(formatMoney(-0.001), QStringLiteral(".00"));
    EXPECT_EQ(formatMoney(1e20), QStringLiteral("100,000,000,000,000,000,000.00"));
    EXPECT_EQ(formatPlain2(350000.0), QStringLiteral("350000.00"));
    EXPECT_EQ(formatPlain2(0.0), QStringLiteral(".00"));
    EXPECT_EQ(formatPlain2(1234567.0), QStringLiteral("1234567.00"));
    EXPECT_THROW(formatMoney(std::numeric_limits<double>::infinity()), com::RuntimeError);
}

TEST(CalcNumber, PeriodHasThreeDigits)
{
    EXPECT_EQ(formatPeriod(1), QStringLiteral("001"));
    EXPECT_EQ(formatPeriod(12), QStringLiteral("012"));
    EXPECT_EQ(formatPeriod(360), QStringLiteral("360"));
}

TEST(CalcNumber, GeneralTextsOfSingleAndDouble)
{
    EXPECT_EQ(singleText(1234567.75f), QStringLiteral("1234568"));
    EXPECT_EQ(singleText(800000.0f), QStringLiteral("800000"));
    EXPECT_EQ(singleText(0.0f), QStringLiteral("0"));
    EXPECT_EQ(singleText(0.5f), QStringLiteral("0.5"));
    EXPECT_EQ(singleText(12345678.0f), QStringLiteral("1.234568E+07"));
    EXPECT_EQ(doubleText(1234567.75 * 0.015), QStringLiteral("18518.51625"));
    EXPECT_EQ(doubleText(400.0), QStringLiteral("400"));
    EXPECT_EQ(doubleText(-2.5), QStringLiteral("-2.5"));
    EXPECT_EQ(doubleText(0.1 + 0.2), QStringLiteral("0.3"));
    EXPECT_EQ(doubleText(1e20), QStringLiteral("1E+20"));
    EXPECT_EQ(doubleText(0.00123), QStringLiteral("0.00123"));
}

TEST(CalcNumber, SingleConversionOverflows)
{
    EXPECT_FLOAT_EQ(toSingle(1234567.8), 1234567.75f);
    EXPECT_THROW(toSingle(1e39), com::RuntimeError);
    EXPECT_THROW(toSingle(-1e39), com::RuntimeError);
    EXPECT_THROW(toSingle(std::numeric_limits<double>::infinity()), com::RuntimeError);
    try {
        toSingle(1e40);
        FAIL() << "no error raised";
    } catch (const com::RuntimeError &e) {
        EXPECT_EQ(e.number(), com::errors::Overflow);
        EXPECT_EQ(e.description(), QStringLiteral("溢出"));
    }
}
