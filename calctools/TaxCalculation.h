#pragma once

#include <QString>

// Taxes and fees a buyer pays first on a property purchase, as the taxes
// calculator prints them. Failures throw com::RuntimeError.
class TaxCalculation final
{
public:
    // Text of the total-price field for a unit price and an area (leading-number rule,
    // no separator removal); empty when the product is beyond the numeric range.
    static QString totalFieldText(const QString &unitPrice, const QString &area);

    // The six result lines for a total typed with or without thousands separators.
    static QString resultText(const QString &totalText);

    static constexpr double StampDuty = 0.0005;
    static constexpr double NotaryFee = 0.003;
    static constexpr double DeedTax = 0.015;
    static constexpr double AgencyFee = 0.003;
};
