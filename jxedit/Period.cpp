#include "jxedit/Period.h"

namespace jxedit {

Period Period::quick(Quick which, const QDate &today)
{
    const QDate monthStart(today.year(), today.month(), 1);
    switch (which) {
    case Quick::LastMonth: {
        const QDate start = monthStart.addMonths(-1);
        return {start, monthStart.addDays(-1)};
    }
    case Quick::ThisQuarter: {
        const QDate start(today.year(), (today.month() - 1) / 3 * 3 + 1, 1);
        return {start, start.addMonths(3).addDays(-1)};
    }
    case Quick::ThisYear:
        return {QDate(today.year(), 1, 1), QDate(today.year(), 12, 31)};
    case Quick::ThisMonth:
        break;
    }
    return {monthStart, monthStart.addMonths(1).addDays(-1)};
}

jx::Result<> Period::check() const
{
    if (!from.isValid() || !to.isValid())
        return jx::fail(QStringLiteral("请填写统计期间的开始日期和结束日期"));
    if (to < from)
        return jx::fail(QStringLiteral("统计期间的结束日期（%1）早于开始日期（%2），请重新选择").arg(toText(), fromText()));
    return {};
}

QString Period::caption() const { return QStringLiteral("统计期间：%1 至 %2").arg(fromText(), toText()); }

} // namespace jxedit
