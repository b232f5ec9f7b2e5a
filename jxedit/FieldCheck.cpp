#include "jxedit/FieldCheck.h"

#include <QDate>
#include <QLocale>
#include <QRegularExpression>

namespace jxedit {

jx::Result<QVariant> FieldCheck::check(const ColumnDef &column, const QString &typed)
{
    const QString text = typed.trimmed();
    const QString name = column.caption;
    if (text.isEmpty()) {
        if (column.required)
            return jx::fail(QStringLiteral("“%1”不能为空").arg(name));
        return column.isNumeric() ? QVariant(0) : QVariant(text);
    }
    if (column.isNumeric()) {
        bool ok = false;
        const double number = QLocale::c().toDouble(text, &ok);
        if (!ok || !std::isfinite(number))
            return jx::fail(column.type == u"int" ? QStringLiteral("“%1”必须是整数").arg(name) : QStringLiteral("“%1”必须是数字").arg(name));
        if (column.type == u"int" && (number != std::floor(number) || std::abs(number) > 2147483647.0))
            return jx::fail(QStringLiteral("“%1”必须是整数").arg(name));
        bool hasMin = false, hasMax = false;
        const double low = QLocale::c().toDouble(column.minValue, &hasMin);
        const double high = QLocale::c().toDouble(column.maxValue, &hasMax);
        if ((hasMin && number < low) || (hasMax && number > high)) {
            if (hasMin && hasMax)
                return jx::fail(QStringLiteral("“%1”应在 %2 到 %3 之间").arg(name, column.minValue, column.maxValue));
            return jx::fail(hasMin ? QStringLiteral("“%1”不能小于 %2").arg(name, column.minValue) : QStringLiteral("“%1”不能大于 %2").arg(name, column.maxValue));
        }
        return column.type == u"int" ? QVariant(int(number)) : QVariant(number);
    }
    if (column.type == u"date") {
        const QDate date = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
        if (!date.isValid())
            return jx::fail(QStringLiteral("“%1”不是有效的日期（格式：年-月-日，如 2026-01-31）").arg(name));
        return QVariant(text);
    }
    if (column.type == u"time") {
        // 'HH:mm' on the 24-hour clock; "9:05" is taken as 09:05 and stored so,
        // since the agenda and the clash check compare the stored texts.
        static const QRegularExpression clock(QStringLiteral("^(\\d{1,2})[:：](\\d{2})$"));
        const QRegularExpressionMatch m = clock.match(text);
        const int hour = m.hasMatch() ? m.captured(1).toInt() : -1, minute = m.hasMatch() ? m.captured(2).toInt() : -1;
        if (hour < 0 || hour > 23 || minute < 0 || minute > 59)
            return jx::fail(QStringLiteral("“%1”不是有效的时间（格式：时:分，00:00 到 23:59，如 14:30）").arg(name));
        return QVariant(QStringLiteral("%1:%2").arg(hour, 2, 10, QLatin1Char('0')).arg(minute, 2, 10, QLatin1Char('0')));
    }
    if (column.type == u"phone") {
        // Mobile numbers, or landlines with an area code.
        static const QRegularExpression phone(QStringLiteral("^(1[3-9]\\d{9}|0\\d{2,3}-?\\d{7,8})$"));
        if (!phone.match(text).hasMatch())
            return jx::fail(QStringLiteral("“%1”不是有效的电话号码").arg(name));
        return QVariant(text);
    }
    if (column.type == u"choice" && !column.choices.isEmpty() && !column.choices.contains(text))
        return jx::fail(QStringLiteral("“%1”只能是：%2").arg(name, column.choices.join(QStringLiteral("、"))));
    return QVariant(text);
}

} // namespace jxedit
