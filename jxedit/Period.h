#pragma once

#include <QDate>
#include <QString>

#include "platform/com/Result.h"

namespace jxedit {

/// A span of days, first and last day included, as the reports and the
/// overview count by. Dates are compared as 'yyyy-MM-dd' texts in the
/// database, so both ends travel as those texts.
struct Period
{
    QDate from, to;

    enum class Quick { ThisMonth, LastMonth, ThisQuarter, ThisYear };
    static Period quick(Quick which, const QDate &today);

    /// False with the reason when an end is missing or lies before the start.
    jx::Result<> check() const;
    QString fromText() const { return from.toString(QStringLiteral("yyyy-MM-dd")); }
    QString toText() const { return to.toString(QStringLiteral("yyyy-MM-dd")); }
    /// "统计期间：2026-11-01 至 2026-11-30"
    QString caption() const;

    bool operator==(const Period &) const = default;
};

} // namespace jxedit
