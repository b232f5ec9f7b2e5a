#include "components/data/StatementFailure.h"

#include <QRegularExpression>

#include <sqlite3.h>

namespace {
// Splits s at separators outside string literals and parentheses.
QStringList splitTopLevel(const QString &s, QChar separator)
{
    QStringList parts;
    int depth = 0, start = 0;
    bool quoted = false;
    for (int i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (c == u'\'')
            quoted = !quoted; // a doubled quote toggles twice: still inside
        else if (quoted)
            continue;
        else if (c == u'(')
            ++depth;
        else if (c == u')')
            --depth;
        else if (c == separator && depth == 0) {
            parts << s.mid(start, i - start);
            start = i + 1;
        }
    }
    parts << s.mid(start);
    return parts;
}

// Placeholders in an expression, literals skipped.
int placeholders(const QString &expression)
{
    int n = 0;
    bool quoted = false;
    for (const QChar c : expression) {
        if (c == u'\'')
            quoted = !quoted;
        else if (c == u'?' && !quoted)
            ++n;
    }
    return n;
}

QString unquoted(QString name)
{
    name = name.trimmed();
    if (name.size() >= 2 && name.startsWith(u'"') && name.endsWith(u'"'))
        name = name.mid(1, name.size() - 2);
    return name;
}

// The value an expression gives a column: the next bound value for "?", the
// text of a literal; null (but the placeholders counted) for anything else.
QVariant valueOf(const QString &expression, const QVariantList &params, int &next)
{
    const QString e = expression.trimmed();
    if (e == u"?") {
        const int at = next++;
        return at < params.size() ? params.at(at) : QVariant();
    }
    if (e.size() >= 2 && e.startsWith(u'\'') && e.endsWith(u'\'') && placeholders(e) == 0)
        return e.mid(1, e.size() - 2).replace(QStringLiteral("''"), QStringLiteral("'"));
    next += placeholders(e);
    return {};
}

// Index of the top-level keyword " where " in an update's set part; -1 when none.
int whereAt(const QString &s)
{
    static const QRegularExpression where(QStringLiteral("\\swhere\\s"), QRegularExpression::CaseInsensitiveOption);
    for (auto it = where.globalMatch(s); it.hasNext();) {
        const auto m = it.next();
        const QString before = s.left(m.capturedStart());
        if (before.count(u'\'') % 2 == 0 && before.count(u'(') == before.count(u')'))
            return static_cast<int>(m.capturedStart());
    }
    return -1;
}

QString captured(const QString &text, const QRegularExpression &re)
{
    const auto m = re.match(text);
    return m.hasMatch() ? m.captured(1) : QString();
}

// " （约束 x，字段 y）" from what the server names; "" when it names nothing.
QString naming(const QString &constraint, const QString &columns)
{
    QStringList parts;
    if (!constraint.isEmpty())
        parts << QStringLiteral("约束 %1").arg(constraint);
    if (!columns.isEmpty())
        parts << QStringLiteral("字段 %1").arg(columns);
    return parts.isEmpty() ? QString() : QStringLiteral("（%1）").arg(parts.join(QStringLiteral("，")));
}
} // namespace

StatementFailure::Connection StatementFailure::connectionState(const QSqlError &error)
{
    if (error.type() == QSqlError::ConnectionError)
        return Connection::Lost;
    const QString code = error.nativeErrorCode().trimmed();
    if (code.size() != 5)
        return Connection::Unclear;
    // 08P01 is a malformed message (a bind with the wrong number of values,
    // say): the server answers it and the connection stays.
    if ((code.startsWith(QLatin1String("08")) && code != u"08P01") || code == u"57P01" || code == u"57P02"
        || code == u"57P03")
        return Connection::Lost;
    return Connection::Alive;
}

QList<StatementFailure::Assignment> StatementFailure::assignments(const QString &sql, const QVariantList &params,
                                                                 QString *table)
{
    static const QRegularExpression insert(
        QStringLiteral("^\\s*insert\\s+into\\s+(\"?[\\w.]+\"?)\\s*\\(([^)]*)\\)\\s*values\\s*(.*)$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression update(QStringLiteral("^\\s*update\\s+(\"?[\\w.]+\"?)\\s+set\\s+(.*)$"),
                                           QRegularExpression::CaseInsensitiveOption
                                               | QRegularExpression::DotMatchesEverythingOption);
    QList<Assignment> out;
    int next = 0;
    if (const auto m = insert.match(sql); m.hasMatch()) {
        if (table)
            *table = unquoted(m.captured(1));
        QStringList columns;
        for (const QString &c : m.captured(2).split(u','))
            columns << unquoted(c);
        // Each "( ... )" after values is one row.
        for (const QString &tuple : splitTopLevel(m.captured(3), u',')) {
            const QString t = tuple.trimmed();
            if (!t.startsWith(u'(') || !t.endsWith(u')'))
                break;
            const QStringList values = splitTopLevel(t.mid(1, t.size() - 2), u',');
            for (int i = 0; i < values.size() && i < columns.size(); ++i)
                out.append({columns.at(i), valueOf(values.at(i), params, next)});
        }
        return out;
    }
    if (const auto m = update.match(sql); m.hasMatch()) {
        if (table)
            *table = unquoted(m.captured(1));
        QString set = m.captured(2);
        if (const int where = whereAt(set); where >= 0)
            set.truncate(where);
        for (const QString &item : splitTopLevel(set, u',')) {
            const int eq = static_cast<int>(item.indexOf(u'='));
            if (eq <= 0)
                break;
            out.append({unquoted(item.left(eq)), valueOf(item.mid(eq + 1), params, next)});
        }
    }
    return out;
}

QString StatementFailure::tooLong(const QList<Assignment> &assigned, const ColumnLimits &limits, int serverLimit)
{
    for (const Assignment &a : assigned) {
        if (a.value.isNull() || a.value.metaType().id() != QMetaType::QString)
            continue;
        // The server counts characters, not UTF-16 units.
        const auto length = a.value.toString().toUcs4().size();
        QList<int> own;
        for (auto it = limits.cbegin(); it != limits.cend(); ++it)
            if (it.key().compare(a.column, Qt::CaseInsensitive) == 0)
                own = it.value();
        // Without the table's own limits the server's one stands for every column.
        if (own.isEmpty() && limits.isEmpty() && serverLimit > 0)
            own = {serverLimit};
        for (const int limit : own) {
            if (length > limit && (serverLimit <= 0 || limit == serverLimit))
                return QStringLiteral("“%1”的内容太长：最多 %2 个字符").arg(a.column).arg(limit);
        }
    }
    return serverLimit > 0 ? QStringLiteral("内容太长：最多 %1 个字符").arg(serverLimit)
                           : QStringLiteral("内容太长，超出了字段允许的长度");
}

QString StatementFailure::postgresMeaning(const QSqlError &error, const QString &sql, const QVariantList &params,
                                          const LimitLookup &limits)
{
    const QString code = error.nativeErrorCode().trimmed();
    const QString text = error.databaseText();
    static const QRegularExpression constraintName(QStringLiteral("constraint \"([^\"]+)\""));
    static const QRegularExpression keyColumns(QStringLiteral("Key \\(([^)]*)\\)"));
    static const QRegularExpression columnName(QStringLiteral("column \"([^\"]+)\""));
    static const QRegularExpression varcharLimit(QStringLiteral("character(?: varying)?\\((\\d+)\\)"));
    if (code == u"22001") {
        QString table;
        const QList<Assignment> assigned = assignments(sql, params, &table);
        const ColumnLimits known = !assigned.isEmpty() && limits ? limits(table) : ColumnLimits();
        return tooLong(assigned, known, captured(text, varcharLimit).toInt());
    }
    if (code == u"23505")
        return QStringLiteral("已存在相同的值，不能重复") + naming(captured(text, constraintName), captured(text, keyColumns));
    if (code == u"23503")
        return QStringLiteral("引用的记录不存在或仍被其他记录引用") + naming(captured(text, constraintName), captured(text, keyColumns));
    if (code == u"23514")
        return QStringLiteral("内容不符合数据检查规则") + naming(captured(text, constraintName), QString());
    if (code == u"23502") {
        const QString column = captured(text, columnName);
        return column.isEmpty() ? QStringLiteral("必填的内容没有填写") : QStringLiteral("“%1”必须填写").arg(column);
    }
    if (code == u"22003")
        return QStringLiteral("数值超出了字段允许的范围");
    return {};
}

QString StatementFailure::sqliteMeaning(const QString &native)
{
    static const QRegularExpression failedOn(QStringLiteral("constraint failed: (.+)$"));
    const QString on = captured(native.trimmed(), failedOn);
    if (native.contains(QLatin1String("UNIQUE constraint failed")) || native.contains(QLatin1String("PRIMARY KEY constraint failed")))
        return QStringLiteral("已存在相同的值，不能重复") + naming(QString(), on);
    if (native.contains(QLatin1String("FOREIGN KEY constraint failed")))
        return QStringLiteral("引用的记录不存在或仍被其他记录引用");
    if (native.contains(QLatin1String("CHECK constraint failed")))
        return QStringLiteral("内容不符合数据检查规则") + naming(on, QString());
    if (native.contains(QLatin1String("NOT NULL constraint failed")))
        return on.isEmpty() ? QStringLiteral("必填的内容没有填写") : QStringLiteral("“%1”必须填写").arg(on);
    return {};
}

QString StatementFailure::sqliteFailure(int resultCode, const QString &native)
{
    const char *meaning = nullptr;
    switch (resultCode & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        meaning = "数据库正被其他程序使用，等待超时，请稍后再试";
        break;
    case SQLITE_READONLY:
        meaning = "数据库文件是只读的，修改无法保存";
        break;
    case SQLITE_PERM:
    case SQLITE_CANTOPEN:
        meaning = "无法打开或写入数据库文件，请检查文件和文件夹的权限";
        break;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        meaning = "数据库文件已损坏";
        break;
    case SQLITE_FULL:
        meaning = "磁盘已满，数据没有保存，请腾出磁盘空间后再试";
        break;
    case SQLITE_IOERR:
        meaning = "读写数据库文件时出错";
        break;
    case SQLITE_CONSTRAINT: {
        const QString constraint = sqliteMeaning(native);
        return constraint.isEmpty() ? native : constraint + QStringLiteral("（") + native + QStringLiteral("）");
    }
    default:
        return native;
    }
    return QString::fromUtf8(meaning) + QStringLiteral("（") + native + QStringLiteral("）");
}
