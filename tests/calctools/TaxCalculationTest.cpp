#include "calctools/TaxCalculation.h"
#include "platform/com/RuntimeError.h"

#include <gtest/gtest.h>

#include <QStringList>

TEST(TaxCalculation, TotalFieldFromPriceAndArea)
{
    EXPECT_EQ(TaxCalculation::totalFieldText(QStringLiteral("8000"), QStringLiteral("100")),
              QStringLiteral("800,000.00"));
    EXPECT_EQ(TaxCalculation::totalFieldText(QString(), QStringLiteral("100")), QStringLiteral(".00"));
    // No separator removal in the factors: 1,200 reads as 1.
    EXPECT_EQ(TaxCalculation::totalFieldText(QStringLiteral("1,200"), QStringLiteral("50")), QStringLiteral("50.00"));
    EXPECT_EQ(TaxCalculation::totalFieldText(QStringLiteral("1e200"), QStringLiteral("1e200")), QString());
    EXPECT_EQ(TaxCalculation::totalFieldText(QStringLiteral("1e999"), QStringLiteral("2")), QString());
}

TEST(TaxCalculation, EightHundredThousand)
{
    EXPECT_EQ(TaxCalculation::resultText(QStringLiteral("800,000.00")),
              QStringLiteral("      房款总价：800000\r\n"
                             "      印 花 税：400\r\n"
                             "      公 证 费：2400\r\n"
                             "      契\u3000\u3000税：12000\r\n"
                             "委托办理手续费：2400\r\n"
                             "房屋买卖手续费：500\r\n"));
}

TEST(TaxCalculation, SinglePrecisionTotal)
{
    const QStringList lines = TaxCalculation::resultText(QStringLiteral("1,234,567.8")).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 7);
    EXPECT_EQ(lines[0], QStringLiteral("      房款总价：1234568"));
    EXPECT_EQ(lines[3], QStringLiteral("      契\u3000\u3000税：18518.51625"));
    EXPECT_EQ(lines[6], QString());
}

TEST(TaxCalculation, NonNumericTotalGivesZeros)
{
    const QStringList lines = TaxCalculation::resultText(QStringLiteral("abc")).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 7);
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(lines[i].endsWith(QStringLiteral("：0"))) << lines[i].toStdString();
    EXPECT_EQ(lines[5], QStringLiteral("房屋买卖手续费：500"));
}

TEST(TaxCalculation, TotalBeyondSingleIsAnError)
{
    EXPECT_THROW(TaxCalculation::resultText(QStringLiteral("1e39")), com::RuntimeError);
}
