#include "calctools/CalcNumber.h"

#include "platform/Numeric.h"
#include "platform/com/RuntimeError.h"

#include <cfloat>
#include <cmath>

namespace calcnum {

namespace {

[[noreturn]] void raiseOverflow()
{
    throw com::RuntimeError(com::errors::Overflow, QStringLiteral("JXTool"), QStringLiteral("溢出"));
}

} // namespace

double val(const QString &text)
{
    return jx::val(text);
}

double valNoSeparators(const QString &text)
{
    QString t = text;
    t.remove(QLatin1Char(','));
    return jx::val(t);
}

double round2(double x)
{
    return jx::roundDecimals(checked(x), 2);
}

float toSingle(double x)
{
    if (!std::isfinite(x) || std::fabs(x) > static_cast<double>(FLT_MAX))
        raiseOverflow();
    return static_cast<float>(x);
}

double checked(double x)
{
    if (!std::isfinite(x))
        raiseOverflow();
    return x;
}

QString formatMoney(double x)
{
    return jx::formatPattern(checked(x), QStringLiteral("###,###.00"));
}

QString formatPlain2(double x)
{
    return jx::formatPattern(checked(x), QStringLiteral("#########.00"));
}

QString formatPeriod(int period)
{
    return jx::formatPattern(period, QStringLiteral("000"));
}

QString singleText(float x)
{
    checked(x);
    return jx::singleText(x);
}

QString doubleText(double x)
{
    return jx::doubleText(checked(x));
}

} // namespace calcnum
