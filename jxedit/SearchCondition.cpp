#include "jxedit/SearchCondition.h"

#include "platform/Numeric.h"
#include "platform/com/RuntimeError.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace jxedit {

namespace {

// Field names go into the statement: only plain identifiers are taken.
bool isIdentifier(const QString &name)
{
    static const QRegularExpression re(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return re.match(name).hasMatch();
}

// LIKE takes '%' and '_' as wildcards; '!' escapes them (a backslash would
// mean different things to the two engines' string rules).
QString likePattern(const QString &text)
{
    QString escaped;
    for (const QChar c : text.toLower()) {
        if (c == u'!' || c == u'%' || c == u'_')
            escaped += u'!';
        escaped += c;
    }
    return u'%' + escaped + u'%';
}

const char *kindName(SearchTerm::Kind kind)
{
    switch (kind) {
    case SearchTerm::Kind::Range:
        return "range";
    case SearchTerm::Kind::Choice:
        return "choice";
    case SearchTerm::Kind::Text:
        break;
    }
    return "text";
}

// Positions of the words of `sql` outside quotes and parentheses.
struct TopWord
{
    qsizetype start;
    QString word;
};

QVector<TopWord> topLevelWords(const QString &sql)
{
    QVector<TopWord> words;
    int depth = 0;
    QChar quote;
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const QChar c = sql.at(i);
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == u'\'' || c == u'"') {
            quote = c;
        } else if (c == u'(') {
            ++depth;
        } else if (c == u')') {
            --depth;
        } else if (depth == 0 && (c.isLetter() || c == u'_') && (i == 0 || !(sql.at(i - 1).isLetterOrNumber() || sql.at(i - 1) == u'_'
                                                                             || sql.at(i - 1) == u'.'))) {
            qsizetype end = i;
            while (end < sql.size() && (sql.at(end).isLetterOrNumber() || sql.at(end) == u'_'))
                ++end;
            words.append({i, sql.mid(i, end - i).toLower()});
            i = end - 1;
        }
    }
    return words;
}

// Splits at the commas outside parentheses and quotes.
QStringList topLevelItems(const QString &text)
{
    QStringList items;
    int depth = 0;
    QChar quote;
    qsizetype from = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'\'' || c == u'"') {
            quote = c;
        } else if (c == u'(') {
            ++depth;
        } else if (c == u')') {
            --depth;
        } else if (c == u',' && depth == 0) {
            items << text.mid(from, i - from);
            from = i + 1;
        }
    }
    items << text.mid(from);
    return items;
}

} // namespace

bool SearchTerm::isEmpty() const
{
    switch (kind) {
    case Kind::Range:
        return from.trimmed().isEmpty() && to.trimmed().isEmpty();
    case Kind::Choice:
        return values.isEmpty();
    case Kind::Text:
        break;
    }
    return text.trimmed().isEmpty();
}

bool SearchCondition::isEmpty() const
{
    return std::all_of(m_terms.begin(), m_terms.end(), [](const SearchTerm &t) { return t.isEmpty(); });
}

std::optional<SearchTerm::Kind> SearchCondition::kindOf(const ColumnDef &column)
{
    if (column.isNumeric() || column.type == u"date")
        return SearchTerm::Kind::Range;
    if (column.type == u"choice" || column.isLookup())
        return SearchTerm::Kind::Choice;
    if (column.type == u"text" || column.type == u"memo")
        return SearchTerm::Kind::Text;
    // Phones of other agents are masked in the list: searching them would
    // tell what the mask hides. Scores are computed, not stored.
    return std::nullopt;
}

bool SearchCondition::readNumber(const QString &text, double &value)
{
    QString t = text;
    t.remove(u',').remove(u'，').remove(u' ').remove(QChar(0x3000));
    static const QRegularExpression leading(QStringLiteral("^[+-]?(\\d|\\.\\d)"));
    if (!leading.match(t).hasMatch())
        return false;
    try {
        value = jx::val(t);
    } catch (const com::RuntimeError &) {
        return false; // does not fit a number
    }
    return true;
}

namespace {

// The ends of a date range as stored ("yyyy-MM-dd" texts, which compare as
// dates), or the reason when one is no date or they are reversed.
jx::Result<> dateBounds(const ColumnDef &column, const SearchTerm &term, QVariant &low, QVariant &high)
{
    const QString from = term.from.trimmed(), to = term.to.trimmed();
    const QDate a = jx::parseDate(from), b = jx::parseDate(to);
    if (!from.isEmpty() && !a.isValid())
        return jx::fail(QStringLiteral("“%1”的起始日期“%2”不是有效的日期（例如 2026-01-31）").arg(column.caption, from));
    if (!to.isEmpty() && !b.isValid())
        return jx::fail(QStringLiteral("“%1”的截止日期“%2”不是有效的日期（例如 2026-01-31）").arg(column.caption, to));
    if (a.isValid() && b.isValid() && a > b)
        return jx::fail(QStringLiteral("“%1”的范围颠倒了：起始 %2 晚于截止 %3，请改正后再查找").arg(column.caption, from, to));
    // An empty date is no date: a range with only an end leaves it out too.
    low = a.isValid() ? a.toString(Qt::ISODate) : QStringLiteral("0001-01-01");
    if (b.isValid())
        high = b.toString(Qt::ISODate);
    return {};
}

// The ends of a number range (an open end stays invalid), or the reason it has none.
jx::Result<> numberBounds(const ColumnDef &column, const SearchTerm &term, QVariant &low, QVariant &high)
{
    const QString from = term.from.trimmed(), to = term.to.trimmed();
    double a = 0, b = 0;
    if (!from.isEmpty() && !SearchCondition::readNumber(from, a))
        return jx::fail(QStringLiteral("“%1”的起始值“%2”不是数字").arg(column.caption, from));
    if (!to.isEmpty() && !SearchCondition::readNumber(to, b))
        return jx::fail(QStringLiteral("“%1”的截止值“%2”不是数字").arg(column.caption, to));
    if (!from.isEmpty() && !to.isEmpty() && a > b)
        return jx::fail(QStringLiteral("“%1”的范围颠倒了：起始 %2 大于截止 %3，请改正后再查找")
                            .arg(column.caption, jx::doubleText(a), jx::doubleText(b)));
    if (!from.isEmpty())
        low = a;
    if (!to.isEmpty())
        high = b;
    return {};
}

} // namespace

jx::Result<SearchCondition::Where> SearchCondition::toWhere(const QVector<ColumnDef> &columns) const
{
    QStringList parts;
    QVariantList values;
    for (const SearchTerm &term : m_terms) {
        if (term.isEmpty())
            continue;
        const auto column = std::find_if(columns.begin(), columns.end(),
                                         [&](const ColumnDef &c) { return c.field.compare(term.field, Qt::CaseInsensitive) == 0; });
        if (column == columns.end() || !isIdentifier(term.field) || kindOf(*column) != term.kind)
            return jx::fail(QStringLiteral("查找条件“%1”不是列表中可以查找的列").arg(term.field));
        const QString name = QStringLiteral("q.") + column->field;
        switch (term.kind) {
        case SearchTerm::Kind::Range: {
            QVariant low, high;
            if (const auto bounds = column->type == u"date" ? dateBounds(*column, term, low, high) : numberBounds(*column, term, low, high);
                !bounds)
                return jx::fail(bounds.error());
            if (low.isValid()) {
                parts << name + QStringLiteral(">=?");
                values << low;
            }
            if (high.isValid()) {
                parts << name + QStringLiteral("<=?");
                values << high;
            }
            break;
        }
        case SearchTerm::Kind::Choice: {
            QStringList marks;
            for (const QString &v : term.values) {
                marks << QStringLiteral("?");
                values << v;
            }
            parts << QStringLiteral("%1 in (%2)").arg(name, marks.join(u','));
            break;
        }
        case SearchTerm::Kind::Text:
            // cast: a column the definition calls text may be a number in the table.
            parts << QStringLiteral("lower(cast(%1 as varchar(4000))) like ? escape '!'").arg(name);
            values << likePattern(term.text.trimmed());
            break;
        }
    }
    return Where{parts.join(QStringLiteral(" and ")), values};
}

QString SearchCondition::wrap(const QString &listSql, const QString &where, const QStringList &known)
{
    QString inner = listSql.trimmed();
    while (inner.endsWith(u';'))
        inner.chop(1);
    QString outerOrder;
    const QVector<TopWord> words = topLevelWords(inner);
    for (qsizetype i = words.size() - 2; i >= 0; --i) {
        if (words.at(i).word != u"order" || words.at(i + 1).word != u"by")
            continue;
        // Only a closing ORDER BY of plain columns is moved: anything after it
        // (limit, offset) or an expression keeps the statement as it is.
        static const QStringList after{QStringLiteral("limit"), QStringLiteral("offset"), QStringLiteral("fetch"),
                                       QStringLiteral("for"), QStringLiteral("union"), QStringLiteral("except"),
                                       QStringLiteral("intersect"), QStringLiteral("nulls")};
        bool plain = std::none_of(words.begin() + i + 2, words.end(), [](const TopWord &w) { return after.contains(w.word); });
        const qsizetype byEnd = words.at(i + 1).start + 2;
        QStringList outer;
        static const QRegularExpression term(QStringLiteral("^\\s*(?:[A-Za-z_][A-Za-z0-9_]*\\.)?([A-Za-z_][A-Za-z0-9_]*)\\s*(asc|desc)?\\s*$"),
                                             QRegularExpression::CaseInsensitiveOption);
        for (const QString &item : topLevelItems(inner.mid(byEnd))) {
            const QRegularExpressionMatch m = term.match(item);
            if (!plain || !m.hasMatch() || !known.contains(m.captured(1), Qt::CaseInsensitive)) {
                plain = false;
                break;
            }
            outer << QStringLiteral("q.") + m.captured(1) + (m.captured(2).isEmpty() ? QString() : u' ' + m.captured(2).toLower());
        }
        if (plain) {
            outerOrder = outer.join(u',');
            inner = inner.left(words.at(i).start).trimmed();
        }
        break;
    }
    QString sql = QStringLiteral("select * from (%1) q").arg(inner);
    if (!where.isEmpty())
        sql += QStringLiteral(" where ") + where;
    if (!outerOrder.isEmpty())
        sql += QStringLiteral(" order by ") + outerOrder;
    return sql;
}

QString SearchCondition::toText(const QVector<ColumnDef> &columns) const
{
    QJsonArray list;
    for (const SearchTerm &term : m_terms) {
        if (term.isEmpty())
            continue;
        QJsonObject o;
        o.insert(QStringLiteral("field"), term.field);
        for (const ColumnDef &c : columns)
            if (c.field.compare(term.field, Qt::CaseInsensitive) == 0)
                o.insert(QStringLiteral("caption"), c.caption);
        o.insert(QStringLiteral("kind"), QLatin1String(kindName(term.kind)));
        switch (term.kind) {
        case SearchTerm::Kind::Range:
            o.insert(QStringLiteral("from"), term.from.trimmed());
            o.insert(QStringLiteral("to"), term.to.trimmed());
            break;
        case SearchTerm::Kind::Choice:
            o.insert(QStringLiteral("values"), QJsonArray::fromStringList(term.values));
            break;
        case SearchTerm::Kind::Text:
            o.insert(QStringLiteral("text"), term.text.trimmed());
            break;
        }
        list.append(o);
    }
    return QString::fromUtf8(QJsonDocument(list).toJson(QJsonDocument::Compact));
}

jx::Result<SearchCondition> SearchCondition::fromText(const QString &text, const QVector<ColumnDef> &columns, QStringList &dropped)
{
    SearchCondition out;
    dropped.clear();
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(text.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !doc.isArray())
        return jx::fail(QStringLiteral("保存的查找条件无法读取，可能已损坏"));
    for (const QJsonValue &v : doc.array()) {
        const QJsonObject o = v.toObject();
        const QString field = o.value(QStringLiteral("field")).toString();
        const QString caption = o.value(QStringLiteral("caption")).toString(field);
        SearchTerm term;
        term.field = field;
        const QString kind = o.value(QStringLiteral("kind")).toString();
        term.kind = kind == u"range" ? SearchTerm::Kind::Range : kind == u"choice" ? SearchTerm::Kind::Choice : SearchTerm::Kind::Text;
        const auto column = std::find_if(columns.begin(), columns.end(),
                                         [&](const ColumnDef &c) { return c.field.compare(field, Qt::CaseInsensitive) == 0; });
        if (column == columns.end() || kindOf(*column) != term.kind) {
            dropped << caption;
            continue;
        }
        term.field = column->field;
        term.from = o.value(QStringLiteral("from")).toString();
        term.to = o.value(QStringLiteral("to")).toString();
        term.text = o.value(QStringLiteral("text")).toString();
        for (const QJsonValue &value : o.value(QStringLiteral("values")).toArray())
            // A choice the column no longer offers cannot be shown, so it is not kept.
            if (column->isLookup() || column->choices.contains(value.toString()))
                term.values << value.toString();
        if (term.isEmpty()) {
            dropped << caption;
            continue;
        }
        out.m_terms.append(term);
    }
    return out;
}

} // namespace jxedit
