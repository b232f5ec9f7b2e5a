#pragma once

#include <QString>

// Repayment schedules of a home loan as the loan calculator prints them.
// All figures go through the calculator's number rules (calcnum); every line
// ends with CR LF. Functions append to the caller's text as they go, so that
// the text written before a failure stays; failures throw com::RuntimeError.
class LoanSchedule final
{
public:
    // House total and loan amount from unit price, area and mortgage ratio (tenths), in single precision.
    struct AreaLoan
    {
        float total = 0.0f;
        float loan = 0.0f;
    };
    static AreaLoan fromArea(double unitPrice, double area, int ratio);

    // Header line of the house total ("房价总额: ...元").
    static QString houseTotalLine(float total);
    // Header line of the loan total ("贷款总额: ...元").
    static QString loanTotalLine(double amount);

    // Equal instalments: payment, totals, then one row per period.
    static void appendEqualInstalments(QString &out, float loan, double monthlyRate, int months);
    // Equal principal: principal per period, totals, then one row per period.
    static void appendEqualPrincipal(QString &out, float loan, double monthlyRate, int months);

    // One schedule row: period, interest, principal, payment, remaining balance.
    static QString row(int period, double interest, double principal, double payment, double balance);

    static const QString CrLf;
};
