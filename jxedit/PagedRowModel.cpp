#include "jxedit/PagedRowModel.h"

#include "jxedit/CsvExport.h"
#include "jxedit/RowModel.h"

#include <QBrush>
#include <QElapsedTimer>
#include <QFont>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTimer>

#include <algorithm>

namespace jxedit {

namespace {

// Rows read at a time: about three screens, so the first screen costs little.
constexpr int kBlock = 100;
// Blocks kept beside the one asked for: a few screens up and down.
constexpr int kKeptBlocks = 80;
constexpr int kExportBlock = 2000;
// A count taken a range of keys at a time: the keys of its first range, and
// how long a range may keep the window from its events.
constexpr qint64 kFirstTallyWidth = 20000;
constexpr qint64 kTallyStepMs = 30;

bool isInteger(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return true;
    default:
        return false;
    }
}

// The statement with the text of its quotes and comments blanked, the same
// length, so words found in it are words of the statement itself.
QString codeOf(const QString &sql)
{
    QString out = sql;
    for (qsizetype i = 0; i < out.size(); ++i) {
        const QChar c = out.at(i);
        if (c == u'\'' || c == u'"') {
            qsizetype j = i + 1;
            while (j < out.size() && !(out.at(j) == c && (j + 1 >= out.size() || out.at(j + 1) != c)))
                j += out.at(j) == c ? 2 : 1;
            for (qsizetype k = i + 1; k < j && k < out.size(); ++k)
                out[k] = u' ';
            i = j;
        } else if (c == u'-' && i + 1 < out.size() && out.at(i + 1) == u'-') {
            while (i < out.size() && out.at(i) != u'\n')
                out[i++] = u' ';
        } else if (c == u'/' && i + 1 < out.size() && out.at(i + 1) == u'*') {
            const qsizetype end = out.indexOf(QStringLiteral("*/"), i + 2);
            const qsizetype stop = end < 0 ? out.size() : end + 2;
            for (; i < stop; ++i)
                out[i] = u' ';
            --i;
        }
    }
    return out;
}

struct OrderTerm
{
    QString name;
    bool desc;
};

// A trailing "order by a, b desc" of the statement itself (not of a
// sub-query), taken off so the database orders once, outside. Anything
// more involved (expressions, a row limit the order decides) stays in.
bool splitOrder(const QString &sql, QString &inner, QVector<OrderTerm> &terms)
{
    const QString code = codeOf(sql);
    static const QRegularExpression limits(QStringLiteral("\\b(top|limit|offset|fetch)\\b"), QRegularExpression::CaseInsensitiveOption);
    if (limits.match(code).hasMatch())
        return false;
    static const QRegularExpression orderBy(QStringLiteral("\\border\\s+by\\b"), QRegularExpression::CaseInsensitiveOption);
    qsizetype at = -1, length = 0;
    for (auto it = orderBy.globalMatch(code); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        int depth = 0;
        for (qsizetype i = 0; i < m.capturedStart(); ++i)
            depth += code.at(i) == u'(' ? 1 : code.at(i) == u')' ? -1 : 0;
        if (depth == 0) {
            at = m.capturedStart();
            length = m.capturedLength();
        }
    }
    if (at < 0)
        return false;
    static const QRegularExpression list(
        QStringLiteral("^\\s*((?:[A-Za-z_]\\w*\\.)?[A-Za-z_]\\w*(?:\\s+(?:asc|desc))?(?:\\s*,\\s*(?:[A-Za-z_]\\w*\\.)?[A-Za-z_]\\w*(?:\\s+(?:asc|desc))?)*)\\s*;?\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = list.match(sql.mid(at + length));
    if (!m.hasMatch())
        return false;
    terms.clear();
    for (const QString &part : m.captured(1).split(u',')) {
        QStringList words = part.trimmed().split(QRegularExpression(QStringLiteral("\\s+")));
        const bool desc = words.size() > 1 && words.last().compare(QLatin1String("desc"), Qt::CaseInsensitive) == 0;
        terms.append({words.first().section(u'.', -1), desc});
    }
    inner = sql.left(at).trimmed();
    return true;
}

QString withoutSemicolons(QString sql)
{
    sql = sql.trimmed();
    while (sql.endsWith(u';'))
        sql = sql.chopped(1).trimmed();
    return sql;
}

int indexOf(const QStringList &fields, const QString &name)
{
    for (int i = 0; i < fields.size(); ++i)
        if (fields.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

// "%word%" for LIKE, with the user's own % and _ taken literally.
QString likePattern(const QString &word)
{
    QString escaped;
    for (const QChar c : word) {
        if (c == u'!' || c == u'%' || c == u'_')
            escaped += u'!';
        escaped += c;
    }
    return u'%' + escaped + u'%';
}

} // namespace

PagedRowModel::PagedRowModel(RowModel *shape, QObject *parent) : QAbstractTableModel(parent), m_shape(shape) {}

QString PagedRowModel::column(int source) const
{
    QString name = m_source.at(source);
    return QStringLiteral("q.\"") + name.replace(u'"', QStringLiteral("\"\"")) + u'"';
}

QVector<PagedRowModel::Term> PagedRowModel::terms() const
{
    QVector<Term> out;
    if (m_sortColumn >= 0 && m_sortColumn < m_shown.size() && m_shown.at(m_sortColumn) >= 0)
        out.append({m_shown.at(m_sortColumn), m_sortOrder == Qt::DescendingOrder});
    else
        out = m_defaultOrder;
    // Rows that tie keep one order, so a block never repeats or skips one.
    if (m_key >= 0 && !out.isEmpty() && std::none_of(out.begin(), out.end(), [this](const Term &t) { return t.source == m_key; }))
        out.append({m_key, out.first().desc});
    return out;
}

bool PagedRowModel::keyset() const
{
    const QVector<Term> t = terms();
    return m_key >= 0 && !t.isEmpty() && t.last().source == m_key;
}

QString PagedRowModel::orderBy(const QVector<Term> &terms, bool reverse) const
{
    if (terms.isEmpty())
        return {};
    QStringList parts;
    for (const Term &t : terms)
        parts << column(t.source) + ((t.desc != reverse) ? QStringLiteral(" desc") : QString());
    return QStringLiteral(" order by ") + parts.join(QStringLiteral(", "));
}

PagedRowModel::Query PagedRowModel::filter() const
{
    Query q;
    QStringList all;
    const int maskSource = m_shape->maskSource();
    for (const QString &word : m_words) {
        const QString pattern = likePattern(word);
        QStringList any;
        for (int c = 0; c < m_columns.size(); ++c) {
            const int source = m_shown.value(c, -1);
            // A cover column holds the listing's id, which no one searches for.
            if (source < 0 || m_columns.at(c).type == u"thumbnail")
                continue;
            const QString text = m_postgres ? QStringLiteral("cast(%1 as text) ilike ? escape '!'").arg(column(source))
                                            : QStringLiteral("%1 like ? escape '!'").arg(column(source));
            if (m_columns.at(c).type == u"phone" && maskSource != -2) {
                // A phone the grid masks is not searched: a match would give it away.
                if (maskSource < 0 || m_shape->myAgent().isEmpty())
                    continue;
                any << QStringLiteral("(%1 = ? and %2)").arg(column(maskSource), text);
                q.params << m_shape->myAgent() << pattern;
                continue;
            }
            any << text;
            q.params << pattern;
        }
        all << (any.isEmpty() ? QStringLiteral("1=0") : u'(' + any.join(QStringLiteral(" or ")) + u')');
    }
    q.where = all.join(QStringLiteral(" and "));
    return q;
}

QString PagedRowModel::wrapped() const { return QStringLiteral("select * from (\n") + m_inner + QStringLiteral("\n) q"); }

jx::Result<PagedRowModel::RawRows> PagedRowModel::select(const QString &sql, const QVariantList &params) const
{
    auto out = m_link.select(sql, m_params + params, m_origin);
    if (!out)
        return jx::fail(out.error());
    return std::move(out->rows);
}

jx::Result<PagedRowModel::RawRows> PagedRowModel::rowsAt(int offset, bool reverse, int limit) const
{
    const Query f = filter();
    QString sql = wrapped();
    if (!f.where.isEmpty())
        sql += QStringLiteral(" where ") + f.where;
    sql += orderBy(terms(), reverse) + QStringLiteral(" limit %1 offset %2").arg(limit).arg(offset);
    auto rows = select(sql, f.params);
    if (rows && reverse)
        std::reverse(rows->begin(), rows->end());
    return rows;
}

// The rows beyond a row in a lexicographic order, asked as a few plain
// ranges (same leading values and a further one beyond, then a further
// leading one ...), each of which an index on the sort column and the key
// reads from its start: "a > x or (a = x and id > y)" would make the engine
// walk every row before x.
jx::Result<PagedRowModel::RawRows> PagedRowModel::rowsAfter(const QVector<QVariant> &raw, bool reverse, int limit) const
{
    const QVector<Term> t = terms();
    const Query f = filter();
    RawRows rows;
    for (int i = int(t.size()) - 1; i >= 0 && rows.size() < limit; --i) {
        QStringList same;
        QVariantList sameParams;
        for (int j = 0; j < i; ++j) {
            const QVariant v = raw.value(t.at(j).source);
            if (v.isNull()) {
                same << column(t.at(j).source) + QStringLiteral(" is null");
            } else {
                same << column(t.at(j).source) + QStringLiteral(" = ?");
                sameParams << v;
            }
        }
        const bool desc = t.at(i).desc != reverse;
        // Nulls sort first on SQLite and last on PostgreSQL.
        const bool nullsAfter = desc != m_postgres;
        const QVariant v = raw.value(t.at(i).source);
        QVector<QPair<QString, QVariantList>> beyond;
        if (!v.isNull()) {
            beyond.append({column(t.at(i).source) + (desc ? QStringLiteral(" < ?") : QStringLiteral(" > ?")), {v}});
            if (nullsAfter)
                beyond.append({column(t.at(i).source) + QStringLiteral(" is null"), {}});
        } else if (!nullsAfter) {
            beyond.append({column(t.at(i).source) + QStringLiteral(" is not null"), {}});
        }
        for (const auto &[range, rangeParams] : beyond) {
            if (rows.size() >= limit)
                break;
            QStringList where;
            if (!f.where.isEmpty())
                where << f.where;
            where << same << range;
            const QString sql = wrapped() + QStringLiteral(" where ") + where.join(QStringLiteral(" and ")) + orderBy(t, reverse)
                                + QStringLiteral(" limit %1").arg(limit - rows.size());
            const auto part = select(sql, f.params + sameParams + rangeParams);
            if (!part)
                return jx::fail(part.error());
            rows += *part;
        }
    }
    if (reverse)
        std::reverse(rows.begin(), rows.end());
    return rows;
}

const PagedRowModel::Block *PagedRowModel::block(int index) const
{
    if (auto it = m_blocks.find(index); it != m_blocks.end()) {
        it->used = ++m_tick;
        return &*it;
    }
    if (m_failed || !m_open)
        return nullptr;
    const int start = index * kBlock;
    const int expected = std::min(kBlock, m_count - start);
    if (expected <= 0)
        return nullptr;
    jx::Result<RawRows> read = RawRows();
    const bool ordered = !terms().isEmpty();
    if (keyset() && m_blocks.contains(index - 1)) {
        read = rowsAfter(m_blocks.value(index - 1).lastRaw, false, kBlock);
    } else if (keyset() && m_blocks.contains(index + 1)) {
        read = rowsAfter(m_blocks.value(index + 1).firstRaw, true, expected);
    } else if (ordered && m_countKnown && start > m_count - start - expected) {
        // Nearer the end: counted from there, as the reversed order reads it.
        read = rowsAt(m_count - start - expected, true, expected);
    } else {
        read = rowsAt(start, false, kBlock);
    }
    if (!read) {
        fail(read.error());
        return nullptr;
    }
    const RawRows &raw = *read;
    if (raw.size() < expected && !m_recountQueued) {
        // Rows went since the count: count again rather than show stale ones.
        m_recountQueued = true;
        QTimer::singleShot(0, const_cast<PagedRowModel *>(this), &PagedRowModel::recount);
    }
    if (raw.isEmpty())
        return nullptr;
    if (m_blocks.size() >= kKeptBlocks) {
        auto oldest = std::min_element(m_blocks.begin(), m_blocks.end(), [](const Block &a, const Block &b) { return a.used < b.used; });
        m_blocks.erase(oldest);
    }
    Block b;
    b.firstRaw = raw.first();
    b.lastRaw = raw.last();
    b.rows.reserve(raw.size());
    for (const QVector<QVariant> &r : std::as_const(raw))
        b.rows.append(m_shape->shape(r));
    b.used = ++m_tick;
    return &*m_blocks.insert(index, std::move(b));
}

void PagedRowModel::fail(const QString &why) const
{
    m_failed = true;
    // Told from the event loop: the view may be painting.
    QTimer::singleShot(0, const_cast<PagedRowModel *>(this), [this, why] { emit const_cast<PagedRowModel *>(this)->failed(why); });
}

jx::Result<> PagedRowModel::mapColumns(const QStringList &source, const QString &keyField)
{
    m_source = source;
    if (!m_source.isEmpty())
        for (const ColumnDef &c : std::as_const(m_columns))
            if (indexOf(m_source, c.field) < 0)
                return jx::fail(QStringLiteral("功能定义有误：列“%1”（%2）在查询结果中不存在").arg(c.field, c.caption));
    m_shape->reset(m_columns, m_source, keyField);
    m_shown.clear();
    for (const ColumnDef &c : std::as_const(m_columns))
        m_shown.append(indexOf(m_source, c.field));
    m_key = keyField.isEmpty() ? -1 : indexOf(m_source, keyField);
    return {};
}

jx::Result<PagedRowModel::Opened> PagedRowModel::open(const DataLink &link, const QString &sql, const QVariantList &params,
                                                      DataLink::Origin origin, const QVector<ColumnDef> &columns, const QString &keyField)
{
    cancelCount();
    beginResetModel();
    m_blocks.clear();
    m_gone.clear();
    m_open = false;
    m_failed = false;
    m_recountQueued = false;
    m_count = 0;
    m_countKnown = true;
    m_link = link;
    m_params = params;
    m_origin = origin;
    if (columns.size() != m_columns.size())
        m_sortColumn = -1;
    m_columns = columns;
    m_postgres = link.driver() == u"postgres";

    const QString whole = withoutSemicolons(sql);
    QString inner;
    QVector<OrderTerm> order;
    // The first block in the statement's own order; when its order cannot be split off, in the database's.
    auto readFirst = [&]() -> jx::Result<DataLink::Rows> {
        if (splitOrder(whole, inner, order)) {
            QStringList names;
            for (const OrderTerm &t : order)
                names << QStringLiteral("q.") + t.name + (t.desc ? QStringLiteral(" desc") : QString());
            if (!keyField.isEmpty() && std::none_of(order.begin(), order.end(), [&](const OrderTerm &t) { return t.name.compare(keyField, Qt::CaseInsensitive) == 0; }))
                names << QStringLiteral("q.") + keyField + (order.first().desc ? QStringLiteral(" desc") : QString());
            m_inner = inner;
            if (auto ordered = m_link.select(
                    wrapped() + QStringLiteral(" order by ") + names.join(QStringLiteral(", ")) + QStringLiteral(" limit %1").arg(kBlock), params, origin))
                return ordered;
        }
        order.clear();
        m_inner = whole;
        return m_link.select(wrapped() + QStringLiteral(" limit %1").arg(kBlock), params, origin);
    };
    const auto first = readFirst();
    if (!first) {
        // Its own failure is the one to report; one that runs only on its own is read whole.
        const auto alone = m_link.open(sql, params, origin);
        endResetModel();
        if (!alone)
            return jx::fail(alone.error());
        return Opened::NotWrappable;
    }
    if (const auto mapped = mapColumns(first->columns, keyField); !mapped) {
        endResetModel();
        return jx::fail(mapped.error());
    }
    m_defaultOrder.clear();
    for (const OrderTerm &t : order) {
        const int source = indexOf(m_source, t.name);
        if (source < 0) { // ordered by a field it does not show: kept as the statement gives it
            m_defaultOrder.clear();
            break;
        }
        m_defaultOrder.append({source, t.desc});
    }
    m_open = true;
    if (!m_words.isEmpty() || m_sortColumn >= 0) {
        endResetModel();
        restart();
        return Opened::Yes;
    }
    Block b;
    for (const QVector<QVariant> &r : first->rows)
        b.rows.append(m_shape->shape(r));
    m_count = int(b.rows.size());
    m_countKnown = m_count < kBlock;
    if (!b.rows.isEmpty()) {
        b.firstRaw = first->rows.first();
        b.lastRaw = first->rows.last();
        b.used = ++m_tick;
        m_blocks.insert(0, std::move(b));
    }
    endResetModel();
    if (!m_countKnown)
        scheduleCount();
    return Opened::Yes;
}

void PagedRowModel::close()
{
    cancelCount();
    beginResetModel();
    m_open = false;
    m_blocks.clear();
    m_gone.clear();
    m_count = 0;
    m_countKnown = true;
    endResetModel();
}

void PagedRowModel::restart()
{
    cancelCount();
    beginResetModel();
    m_blocks.clear();
    m_gone.clear();
    m_failed = false;
    m_count = kBlock; // room for the first block until it is read
    m_countKnown = false;
    const jx::Result<RawRows> read = m_open ? rowsAt(0, false, kBlock) : jx::fail(QString());
    if (read) {
        const RawRows &raw = *read;
        m_count = int(raw.size());
        m_countKnown = m_count < kBlock;
        if (!raw.isEmpty()) {
            Block b;
            b.firstRaw = raw.first();
            b.lastRaw = raw.last();
            for (const QVector<QVariant> &r : std::as_const(raw))
                b.rows.append(m_shape->shape(r));
            b.used = ++m_tick;
            m_blocks.insert(0, std::move(b));
        }
    } else {
        m_count = 0;
        m_countKnown = true;
        if (m_open)
            fail(read.error());
    }
    endResetModel();
    if (!m_countKnown)
        scheduleCount();
    else
        emit countChanged();
}

void PagedRowModel::setFilterText(const QString &text)
{
    static const QRegularExpression blanks(QStringLiteral("[\\s\\x{3000}]+"));
    const QStringList words = text.split(blanks, Qt::SkipEmptyParts);
    if (words == m_words)
        return;
    m_words = words;
    if (m_open)
        restart();
}

void PagedRowModel::sort(int column, Qt::SortOrder order)
{
    if (column == m_sortColumn && order == m_sortOrder)
        return;
    m_sortColumn = column >= 0 && column < m_columns.size() ? column : -1;
    m_sortOrder = order;
    if (!m_open)
        return;
    // The same rows in another order: the count stands.
    const bool known = m_countKnown;
    const int n = m_count;
    restart();
    if (known && !m_failed && !m_countKnown && m_count <= n) {
        beginInsertRows({}, m_count, n - 1);
        m_count = n;
        m_countKnown = true;
        endInsertRows();
        emit countChanged();
    }
}

jx::Result<int> PagedRowModel::count() const
{
    const Query f = filter();
    QString sql = QStringLiteral("select count(*) from (\n") + m_inner + QStringLiteral("\n) q");
    if (!f.where.isEmpty())
        sql += QStringLiteral(" where ") + f.where;
    const auto value = m_link.scalar(sql, m_params + f.params, m_origin);
    if (!value)
        return jx::fail(value.error());
    return value->toInt();
}

void PagedRowModel::finishCount()
{
    if (m_countKnown || !m_open || m_failed)
        return;
    if (m_tally) {
        while (tallyNext()) {
        }
        return;
    }
    const auto counted = count();
    if (!counted) {
        fail(counted.error());
        return;
    }
    settleCount(*counted);
}

void PagedRowModel::cancelCount()
{
    ++m_countRun;
    m_tally.reset();
}

void PagedRowModel::scheduleCount()
{
    QTimer::singleShot(0, this, [this, run = m_countRun] {
        if (run == m_countRun)
            countInSteps();
    });
}

void PagedRowModel::countInSteps()
{
    if (m_countKnown || !m_open || m_failed)
        return;
    QElapsedTimer clock;
    clock.start();
    if (!m_tally) {
        auto plan = planTally();
        if (!plan) {
            fail(plan.error());
            return;
        }
        if (!*plan) {
            finishCount();
            return;
        }
        m_tally = **plan;
    }
    if (!tallyNext())
        return;
    // Ranges of a few tens of milliseconds, however the keys are spread.
    const qint64 spent = clock.elapsed();
    if (spent < kTallyStepMs / 2)
        m_tally->width *= 2;
    else if (spent > kTallyStepMs * 2)
        m_tally->width = std::max<qint64>(m_tally->width / 2, 1);
    scheduleCount();
}

jx::Result<std::optional<PagedRowModel::Tally>> PagedRowModel::planTally() const
{
    if (m_key < 0)
        return std::optional<Tally>();
    // One end a statement: the database finds a lone min() or max() in the key's index.
    QVariant ends[2];
    for (int i = 0; i < 2; ++i) {
        const auto end = m_link.scalar(QStringLiteral("select %1(%2) from (\n%3\n) q").arg(i ? u"max" : u"min", column(m_key), m_inner), m_params,
                                       m_origin);
        if (!end)
            return jx::fail(end.error());
        ends[i] = *end;
    }
    // Keys that are not whole numbers (codes, say) are counted in one statement.
    if (!isInteger(ends[0]) || !isInteger(ends[1]))
        return std::optional<Tally>();
    Tally t;
    t.from = ends[0].toLongLong();
    t.last = ends[1].toLongLong();
    t.width = kFirstTallyWidth;
    return std::optional<Tally>(t);
}

bool PagedRowModel::tallyNext()
{
    Tally &t = *m_tally;
    const qint64 to = t.width > t.last - t.from ? t.last : t.from + t.width - 1;
    const Query f = filter();
    const QString key = column(m_key);
    QString sql = QStringLiteral("select count(*) from (\n%1\n) q where %2>=? and %2<=?").arg(m_inner, key);
    if (!f.where.isEmpty())
        sql += QStringLiteral(" and (") + f.where + u')';
    const auto counted = m_link.scalar(sql, m_params + QVariantList{t.from, to} + f.params, m_origin);
    if (!counted) {
        fail(counted.error());
        return false;
    }
    t.counted += counted->toInt();
    if (to >= t.last) {
        settleCount(t.counted);
        return false;
    }
    t.from = to + 1;
    // Rows counted so far can be scrolled to while the rest are counted.
    if (t.counted > m_count) {
        beginInsertRows({}, m_count, t.counted - 1);
        m_count = t.counted;
        endInsertRows();
    }
    return true;
}

void PagedRowModel::settleCount(int n)
{
    m_tally.reset();
    if (n > m_count) {
        beginInsertRows({}, m_count, n - 1);
        m_count = n;
        m_countKnown = true;
        endInsertRows();
    } else if (n < m_count) {
        beginRemoveRows({}, n, m_count - 1);
        m_count = n;
        m_countKnown = true;
        endRemoveRows();
    }
    m_countKnown = true;
    emit countChanged();
}

void PagedRowModel::recount()
{
    m_recountQueued = false;
    if (!m_open || m_failed)
        return;
    const auto counted = count();
    if (!counted) {
        fail(counted.error());
        return;
    }
    const int n = *counted;
    beginResetModel();
    m_blocks.clear();
    m_gone.clear();
    m_count = n;
    m_countKnown = true;
    endResetModel();
    emit countChanged();
}

int PagedRowModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : m_count; }
int PagedRowModel::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : int(m_columns.size()); }

QVariant PagedRowModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_count || index.column() >= m_columns.size())
        return {};
    if (role == Qt::TextAlignmentRole)
        return m_columns.at(index.column()).isNumeric() ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    if (role == Qt::ForegroundRole || role == Qt::FontRole || role == Qt::ToolTipRole) {
        if (!isGone(index.row()))
            return {};
        if (role == Qt::ForegroundRole)
            return QBrush(Qt::gray);
        if (role == Qt::ToolTipRole)
            return QStringLiteral("这条记录已被删除，或已不符合本列表的条件；刷新后不再显示");
        QFont struck;
        struck.setStrikeOut(true);
        return struck;
    }
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    const Block *b = block(index.row() / kBlock);
    const int local = index.row() % kBlock;
    if (!b || local >= b->rows.size())
        return {};
    const QVariant &v = b->rows.at(local).at(index.column());
    return role == Qt::DisplayRole ? QVariant(RowModel::text(m_columns.at(index.column()), v)) : v;
}

bool PagedRowModel::isGone(int row) const
{
    if (m_gone.isEmpty() || row < 0 || row >= m_count)
        return false;
    // Only kept rows can have been found gone; a row not kept is never read for it.
    const auto it = m_blocks.constFind(row / kBlock);
    const int local = row % kBlock;
    return it != m_blocks.constEnd() && local < it->rows.size() && m_gone.contains(it->rows.at(local).last().toString());
}

int PagedRowModel::refreshRecords(const QVariantList &keys)
{
    if (!m_open || m_failed || m_key < 0 || keys.isEmpty())
        return 0;
    QSet<QString> wanted;
    for (const QVariant &k : keys)
        wanted.insert(k.toString());
    // Where each wanted key sits among the kept rows (a key may sit twice
    // when a block was read after the row moved).
    QHash<QString, QVector<QPair<int, int>>> at;
    QVariantList present;
    for (auto it = m_blocks.cbegin(); it != m_blocks.cend(); ++it)
        for (int local = 0; local < it->rows.size(); ++local) {
            const QVariant &key = it->rows.at(local).last();
            const QString text = key.toString();
            if (!wanted.contains(text))
                continue;
            if (!at.contains(text))
                present << key;
            at[text].append({it.key(), local});
        }
    if (present.isEmpty())
        return 0;
    const Query f = filter();
    QHash<QString, QVector<QVariant>> fresh;
    constexpr int kChunk = 200;
    for (int from = 0; from < present.size(); from += kChunk) {
        const QVariantList part = present.mid(from, kChunk);
        QStringList marks(part.size(), QStringLiteral("?"));
        QString sql = wrapped() + QStringLiteral(" where ") + column(m_key) + QStringLiteral(" in (") + marks.join(u',') + u')';
        if (!f.where.isEmpty())
            sql += QStringLiteral(" and ") + f.where;
        const auto raw = select(sql, part + f.params);
        if (!raw) {
            // The rows shown stay as they were; the next notice or 刷新 tries again.
            return 0;
        }
        for (const QVector<QVariant> &r : *raw)
            fresh.insert(r.value(m_key).toString(), m_shape->shape(r));
    }
    for (auto it = at.cbegin(); it != at.cend(); ++it) {
        const auto found = fresh.constFind(it.key());
        if (found == fresh.constEnd())
            m_gone.insert(it.key());
        else
            m_gone.remove(it.key());
        for (const auto &[blockIndex, local] : it.value()) {
            auto block = m_blocks.find(blockIndex);
            if (found != fresh.constEnd())
                block->rows[local] = *found;
            const int row = blockIndex * kBlock + local;
            emit dataChanged(index(row, 0), index(row, int(m_columns.size()) - 1));
        }
    }
    return int(present.size());
}

int PagedRowModel::refreshKept()
{
    QVariantList keys;
    for (const Block &b : std::as_const(m_blocks))
        for (const QVector<QVariant> &r : b.rows)
            keys << r.last();
    return refreshRecords(keys);
}

QVariant PagedRowModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section < m_columns.size())
        return m_columns.at(section).caption;
    if (orientation == Qt::Vertical && role == Qt::DisplayRole)
        return section + 1;
    return {};
}

QVariant PagedRowModel::keyOf(int row) const
{
    if (row < 0 || row >= m_count)
        return {};
    const Block *b = block(row / kBlock);
    const int local = row % kBlock;
    return b && local < b->rows.size() ? b->rows.at(local).last() : QVariant();
}

jx::Result<double> PagedRowModel::sum(int shownColumn, int first, int last) const
{
    const int source = m_shown.value(shownColumn, -1);
    if (!m_open || source < 0 || first > last)
        return 0.0;
    const Query f = filter();
    QString sql;
    QVariantList params = m_params + f.params;
    const QString where = f.where.isEmpty() ? QString() : QStringLiteral(" where ") + f.where;
    if (first <= 0 && last >= m_count - 1) {
        sql = QStringLiteral("select sum(%1) from (\n%2\n) q%3").arg(column(source), m_inner, where);
    } else {
        sql = QStringLiteral("select sum(s.v) from (select %1 as v from (\n%2\n) q%3%4 limit %5 offset %6) s")
                  .arg(column(source), m_inner, where, orderBy(terms(), false))
                  .arg(last - first + 1)
                  .arg(first);
    }
    const auto value = m_link.scalar(sql, params, m_origin);
    if (!value)
        return jx::fail(value.error());
    return value->toDouble();
}

jx::Result<> PagedRowModel::exportCsv(const QString &path) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return jx::fail(QStringLiteral("无法写入文件 %1：%2").arg(path, file.errorString()));
    QStringList cells;
    for (const ColumnDef &c : m_columns)
        cells << CsvExport::field(c.caption);
    file.write("\xEF\xBB\xBF");
    file.write((cells.join(u',') + QStringLiteral("\r\n")).toUtf8());
    RawRows raw;
    int offset = 0;
    bool more = m_open;
    while (more) {
        const QVector<QVariant> after = raw.isEmpty() ? QVector<QVariant>() : raw.last();
        auto read = keyset() && offset > 0 ? rowsAfter(after, false, kExportBlock) : rowsAt(offset, false, kExportBlock);
        if (!read) // the unfinished file is discarded with the QSaveFile
            return jx::fail(QStringLiteral("导出中断，文件没有写入：%1").arg(read.error()));
        raw = std::move(*read);
        QString text;
        for (const QVector<QVariant> &r : std::as_const(raw)) {
            const QVector<QVariant> row = m_shape->shape(r);
            cells.clear();
            for (int c = 0; c < m_columns.size(); ++c)
                cells << CsvExport::field(RowModel::text(m_columns.at(c), row.at(c)));
            text += cells.join(u',') + QStringLiteral("\r\n");
        }
        file.write(text.toUtf8());
        offset += int(raw.size());
        more = raw.size() == kExportBlock;
    }
    if (!file.commit())
        return jx::fail(QStringLiteral("无法写入文件 %1：%2").arg(path, file.errorString()));
    return {};
}

int PagedRowModel::keptRows() const
{
    int n = 0;
    for (const Block &b : m_blocks)
        n += int(b.rows.size());
    return n;
}

} // namespace jxedit
