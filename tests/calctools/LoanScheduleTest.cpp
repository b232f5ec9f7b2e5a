#include "calctools/LoanSchedule.h"
#include "platform/com/RuntimeError.h"

#include <gtest/gtest.h>

TEST(LoanSchedule, ZeroRateIsAnOverflowAndWritesNothing)
{
    QString out = QStringLiteral("kept\r\n");
    try {
        LoanSchedule::appendEqualInstalments(out, 100000.0f, 0.0, 12);
        FAIL() << "no error raised";
    } catch (const com::RuntimeError &e) {
        EXPECT_EQ(e.number(), com::errors::Overflow);
        EXPECT_EQ(e.description(), QStringLiteral("溢出"));
    }
    EXPECT_EQ(out, QStringLiteral("kept\r\n"));
}

TEST(LoanSchedule, ZeroRateStillGivesEqualPrincipal)
{
    QString out;
    LoanSchedule::appendEqualPrincipal(out, 1200.0f, 0.0, 12);
    EXPECT_TRUE(out.startsWith(QStringLiteral("每期还款本金: 100.00\r\n还款总额: 1,200.00\r\n利息总额: .00\r\n")));
}

TEST(LoanSchedule, AreaLoanInSinglePrecision)
{
    const auto a = LoanSchedule::fromArea(5000.0, 100.0, 7);
    EXPECT_FLOAT_EQ(a.total, 500000.0f);
    EXPECT_FLOAT_EQ(a.loan, 350000.0f);
    EXPECT_EQ(LoanSchedule::houseTotalLine(a.total), QStringLiteral("房价总额: 500,000.00元\r\n"));
    EXPECT_EQ(LoanSchedule::loanTotalLine(350000.0), QStringLiteral("贷款总额: 350,000.00元\r\n"));
    // 123456789 is not representable in single precision.
    EXPECT_FLOAT_EQ(LoanSchedule::fromArea(123456789.0, 1.0, 10).total, 123456792.0f);
    EXPECT_THROW(LoanSchedule::fromArea(1e20, 1e20, 9), com::RuntimeError);
}
