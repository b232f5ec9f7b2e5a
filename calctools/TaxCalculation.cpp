#include "calctools/TaxCalculation.h"

#include "calctools/CalcNumber.h"
#include "platform/com/RuntimeError.h"

#include <cmath>

QString TaxCalculation::totalFieldText(const QString &unitPrice, const QString &area)
{
    try {
        const double total = calcnum::val(unitPrice) * calcnum::val(area);
        if (!std::isfinite(total))
            return QString();
        return calcnum::formatMoney(total);
    } catch (const com::RuntimeError &) {
        // A factor beyond the numeric range: the field shows nothing rather than a wrong figure.
        return QString();
    }
}

QString TaxCalculation::resultText(const QString &totalText)
{
    const float total = calcnum::toSingle(calcnum::valNoSeparators(totalText));
    const double t = total;
    const QString crlf = QStringLiteral("\r\n");
    QString out;
    out += QStringLiteral("      房款总价：") + calcnum::singleText(total) + crlf;
    out += QStringLiteral("      印 花 税：") + calcnum::doubleText(t * StampDuty) + crlf;
    out += QStringLiteral("      公 证 费：") + calcnum::doubleText(t * NotaryFee) + crlf;
    out += QStringLiteral("      契　　税：") + calcnum::doubleText(t * DeedTax) + crlf;
    out += QStringLiteral("委托办理手续费：") + calcnum::doubleText(t * AgencyFee) + crlf;
    out += QStringLiteral("房屋买卖手续费：500") + crlf;
    return out;
}
