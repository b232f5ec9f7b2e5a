#include "calctools/LoanSchedule.h"

#include "calctools/CalcNumber.h"
#include "platform/com/RuntimeError.h"

#include <cmath>

using calcnum::checked;
using calcnum::formatMoney;
using calcnum::round2;

const QString LoanSchedule::CrLf = QStringLiteral("\r\n");

namespace {

const QString kScheduleHead = QStringLiteral(" --- 还款单 ") + LoanSchedule::CrLf
    + QStringLiteral(" 期次 偿还利息  偿还本金  偿还本息  剩余本金 ") + LoanSchedule::CrLf;

// Floating division with the runtime's faults: 0/0 overflows, x/0 divides by zero.
double divide(double a, double b)
{
    if (b == 0.0) {
        if (a == 0.0 || std::isnan(a))
            throw com::RuntimeError(com::errors::Overflow, QStringLiteral("JXTool"), QStringLiteral("溢出"));
        throw com::RuntimeError(11, QStringLiteral("JXTool"), QStringLiteral("除数为零"));
    }
    return checked(a / b);
}

} // namespace

LoanSchedule::AreaLoan LoanSchedule::fromArea(double unitPrice, double area, int ratio)
{
    AreaLoan r;
    r.total = calcnum::toSingle(unitPrice * area);
    r.loan = calcnum::toSingle(static_cast<double>(r.total) * ratio / 10.0);
    return r;
}

QString LoanSchedule::houseTotalLine(float total)
{
    return QStringLiteral("房价总额: ") + formatMoney(total) + QStringLiteral("元") + CrLf;
}

QString LoanSchedule::loanTotalLine(double amount)
{
    return QStringLiteral("贷款总额: ") + formatMoney(amount) + QStringLiteral("元") + CrLf;
}

QString LoanSchedule::row(int period, double interest, double principal, double payment, double balance)
{
    const QString sep = QStringLiteral("  ");
    return QLatin1Char(' ') + calcnum::formatPeriod(period) + sep + formatMoney(interest) + sep
        + formatMoney(principal) + sep + formatMoney(payment) + sep + formatMoney(balance) + CrLf;
}

void LoanSchedule::appendEqualInstalments(QString &out, float loan, double monthlyRate, int months)
{
    const double L = loan;
    const double r = monthlyRate;
    const int n = months;
    const double growth = checked(std::pow(1.0 + r, n));
    const double payment = divide(checked(growth * (r * L)), growth - 1.0);
    const double total = checked(n * payment);

    out += QStringLiteral("月均还款: ") + formatMoney(payment) + CrLf;
    out += QStringLiteral("还款总额: ") + formatMoney(total) + CrLf;
    out += QStringLiteral("利息总额: ") + formatMoney(total - L) + CrLf + CrLf;
    out += kScheduleHead;

    double balance = L;
    for (int i = 1; i <= n; ++i) {
        const double interest = round2(balance * r);
        const double principal = round2(payment - interest);
        balance = checked(balance - principal);
        // The last period clears the loan; rounding residue is not carried into its principal.
        if (i == n)
            balance = 0.0;
        out += row(i, interest, principal, payment, balance);
    }
}

void LoanSchedule::appendEqualPrincipal(QString &out, float loan, double monthlyRate, int months)
{
    const double L = loan;
    const double r = monthlyRate;
    const int n = months;
    const double principal = round2(divide(L, n));

    QString schedule = kScheduleHead;
    double balance = L;
    double interestSum = 0.0;
    for (int i = 1; i <= n; ++i) {
        const double interest = round2(balance * r);
        interestSum = checked(interestSum + interest);
        balance = checked(balance - principal);
        if (i == n)
            balance = 0.0;
        schedule += row(i, interest, principal, interest + principal, balance);
    }

    out += QStringLiteral("每期还款本金: ") + formatMoney(principal) + CrLf;
    out += QStringLiteral("还款总额: ") + formatMoney(L + interestSum) + CrLf;
    out += QStringLiteral("利息总额: ") + formatMoney(interestSum) + CrLf + CrLf;
    out += schedule;
}
