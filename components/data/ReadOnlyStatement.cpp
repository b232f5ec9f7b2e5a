#include "components/data/ReadOnlyStatement.h"

#include <QRegularExpression>
#include <QStringList>

QString ReadOnlyStatement::code(const QString &sql)
{
    QString out;
    out.reserve(sql.size());
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const QChar c = sql.at(i);
        if (c == u'\'' || c == u'"') {
            // A doubled quote inside stays inside.
            qsizetype j = i + 1;
            while (j < sql.size() && !(sql.at(j) == c && (j + 1 >= sql.size() || sql.at(j + 1) != c)))
                j += sql.at(j) == c ? 2 : 1;
            out += u' ';
            i = j;
        } else if (c == u'-' && i + 1 < sql.size() && sql.at(i + 1) == u'-') {
            while (i < sql.size() && sql.at(i) != u'\n')
                ++i;
            out += u' ';
        } else if (c == u'/' && i + 1 < sql.size() && sql.at(i + 1) == u'*') {
            const qsizetype end = sql.indexOf(QStringLiteral("*/"), i + 2);
            i = end < 0 ? sql.size() : end + 1;
            out += u' ';
        } else {
            out += c;
        }
    }
    return out;
}

jx::Result<> ReadOnlyStatement::allows(const QString &sql)
{
    QString text = code(sql).trimmed();
    while (text.endsWith(u';'))
        text.chop(1);
    static const QRegularExpression first(QStringLiteral("^\\s*\\(*\\s*(select|with)\\b"), QRegularExpression::CaseInsensitiveOption);
    if (text.contains(u';'))
        return jx::fail(QStringLiteral("只能执行一条查询语句"));
    if (!first.match(text).hasMatch())
        return jx::fail(QStringLiteral("只能执行查询语句（select）"));
    // Words that write, lock or change the schema; "into" makes a table of a select.
    static const QRegularExpression writes(
        QStringLiteral("\\b(insert|update|delete|merge|into|drop|alter|create|truncate|grant|revoke|attach|detach|"
                       "pragma|vacuum|reindex|analyze|copy|call|do|lock|notify|listen|set|reset|begin|commit|rollback|savepoint)\\b"),
        QRegularExpression::CaseInsensitiveOption);
    if (const QRegularExpressionMatch m = writes.match(text); m.hasMatch())
        return jx::fail(QStringLiteral("查询语句里不能有“%1”：这里只能读取数据").arg(m.captured(1).toLower()));
    return {};
}
