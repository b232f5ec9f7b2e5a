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

TEST(TaxCalculation, NonNumericTotalGivesZeros)
{
    for (const QString &total : {QStringLiteral("abc"), QString()}) {
        const QStringList lines = TaxCalculation::resultText(total).split(QStringLiteral("\r\n"));
        ASSERT_EQ(lines.size(), 7);
        for (int i = 0; i < 5; ++i)
            EXPECT_TRUE(lines[i].endsWith(QStringLiteral("：0"))) << lines[i].toStdString();
        EXPECT_EQ(lines[5], QStringLiteral("房屋买卖手续费：500"));
    }
}

TEST(TaxCalculation, TotalBeyondSingleIsAnError)
{
    EXPECT_THROW(TaxCalculation::resultText(QStringLiteral("1e39")), com::RuntimeError);
}
