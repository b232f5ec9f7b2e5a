#include "TableCopy.h"

#include "SchemaScripts.h"

#include "components/data/Database.h"
#include "components/data/SchemaCatalog.h"

#include <QMap>

#include <algorithm>

namespace {

struct TargetTable
{
    QString name;
    QStringList columns;
};
// What the target holds or will hold once the schema is created, by lower-case name.
using TargetTables = QMap<QString, TargetTable>;

// The source's tables, referred-to tables first, so that every foreign key finds its row.
jx::Result<QStringList> sourceTables(const SchemaCatalog &from, Database &db)
{
    bool ok = false;
    QStringList tables = from.tables(&ok);
    if (!ok)
        return jx::fail(QStringLiteral("cannot list the tables of the source: %1").arg(db.LastError().Description()));
    if (tables.isEmpty())
        return jx::fail(QStringLiteral("the source holds no tables"));
    const QStringList order = SchemaScripts::tableOrder();
    const auto rank = [&order](const QString &t) {
        const qsizetype i = order.indexOf(t.toLower());
        return i < 0 ? order.size() : i;
    };
    std::stable_sort(tables.begin(), tables.end(), [&](const QString &a, const QString &b) { return rank(a) < rank(b); });
    return tables;
}

struct Target
{
    TargetTables tables;
    bool createSchema = false; // it has no tables and gets the product schema
};

// The target's tables; a target without any gets the product schema, so its
// tables are the schema's.
jx::Result<Target> targetTables(const SchemaCatalog &to, Database &db)
{
    bool ok = false;
    const QStringList existing = to.tables(&ok);
    if (!ok)
        return jx::fail(QStringLiteral("cannot list the tables of the target: %1").arg(db.LastError().Description()));
    Target target;
    target.createSchema = existing.isEmpty();
    if (!target.createSchema) {
        for (const QString &t : existing)
            target.tables.insert(t.toLower(), {t, to.columns(t)});
        return target;
    }
    const auto expected = SchemaScripts::expected();
    if (!expected || expected->isEmpty())
        return jx::fail(expected.error());
    for (auto it = expected->cbegin(); it != expected->cend(); ++it)
        target.tables.insert(it.key(), {it.key(), it.value()});
    return target;
}

// Each source table's columns as the target names them, in source order.
// Refused, before anything is written, when a table or column has no place
// in the target or a target table holds rows that are not to be replaced.
jx::Result<QMap<QString, QStringList>> mapColumns(const SchemaCatalog &from, const SchemaCatalog &to, const QStringList &tables,
                                                  const TargetTables &target, bool keepRows)
{
    QMap<QString, QStringList> columnsOf;
    QStringList unknown, full;
    for (const QString &table : tables) {
        const auto it = target.constFind(table.toLower());
        if (it == target.constEnd()) {
            unknown << table;
            continue;
        }
        QStringList mapped;
        for (const QString &column : from.columns(table)) {
            const QString t = SchemaCatalog::find(it->columns, column);
            if (t.isEmpty())
                unknown << table + u'.' + column;
            else
                mapped << t;
        }
        if (mapped.isEmpty())
            unknown << table + QStringLiteral(" (no readable columns)");
        columnsOf.insert(table, mapped);
        if (keepRows && to.rowCount(it->name) != 0)
            full << it->name;
    }
    if (!unknown.isEmpty())
        return jx::fail(QStringLiteral("the target has no place for: %1; nothing was copied").arg(unknown.join(QStringLiteral(", "))));
    if (!full.isEmpty())
        return jx::fail(QStringLiteral("the target already holds data in %1; nothing was copied (give --replace to overwrite it)")
                            .arg(full.join(QStringLiteral(", "))));
    return columnsOf;
}

// Replaced rows go first, in one transaction, the referring tables before
// those they refer to.
jx::Result<> emptyTables(Database &db, const QStringList &tables, const TargetTables &target)
{
    bool emptied = db.Execute(QStringLiteral("BEGIN"));
    for (auto it = tables.crbegin(); emptied && it != tables.crend(); ++it)
        emptied = db.Execute(QStringLiteral("DELETE FROM %1").arg(target.value(it->toLower()).name));
    if (emptied && db.Execute(QStringLiteral("COMMIT")))
        return {};
    const QString why = QStringLiteral("cannot empty the target's tables: %1; nothing was copied").arg(db.LastError().Description());
    db.Execute(QStringLiteral("ROLLBACK"));
    return jx::fail(why);
}

} // namespace

jx::Result<> TableCopy::run()
{
    m_copied.clear();
    const SchemaCatalog from(m_from), to(m_to);
    const auto tables = sourceTables(from, m_from);
    if (!tables)
        return jx::fail(tables.error());
    const auto target = targetTables(to, m_to);
    if (!target)
        return jx::fail(target.error());
    const bool createSchema = target->createSchema;
    const auto columnsOf = mapColumns(from, to, *tables, target->tables, !createSchema && !m_replace);
    if (!columnsOf)
        return jx::fail(columnsOf.error());
    if (createSchema) {
        if (const auto created = SchemaScripts::create(m_to, false); !created)
            return created;
    }
    if (m_replace && !createSchema) {
        if (const auto emptied = emptyTables(m_to, *tables, target->tables); !emptied)
            return emptied;
    }
    for (const QString &table : *tables) {
        if (const auto copied = copyTable(table, target->tables.value(table.toLower()).name, columnsOf->value(table)); !copied)
            return copied;
    }
    return {};
}

jx::Result<> TableCopy::copyTable(const QString &source, const QString &target, const QStringList &columns)
{
    const QueryResult rows = m_from.Query(QStringLiteral("select * from %1").arg(source), 1);
    if (!rows.ok())
        return jx::fail(QStringLiteral("cannot read %1: %2").arg(source, m_from.LastError().Description()));
    Recordset rs = rows.Recordset();
    const qint64 total = rs.recordCount();
    const int width = static_cast<int>(columns.size());

    auto fail = [&](const QString &what) {
        m_to.Execute(QStringLiteral("ROLLBACK"));
        return jx::fail(QStringLiteral("%1: %2; the table was left as it was").arg(target, what));
    };
    if (!m_to.Execute(QStringLiteral("BEGIN")))
        return jx::fail(QStringLiteral("%1: cannot begin a transaction: %2").arg(target, m_to.LastError().Description()));

    // Several rows per statement: far fewer round trips to a server, well
    // below either engine's limit on bound values.
    const int perBatch = qMax(1, 500 / qMax(1, width));
    const QString head = QStringLiteral("INSERT INTO %1 (%2) VALUES ").arg(target, columns.join(u','));
    QString oneRow = QStringLiteral("(") + QStringList(width, QStringLiteral("?")).join(u',') + u')';
    qint64 done = 0;
    while (!rs.Eof()) {
        QVariantList values;
        QStringList tuples;
        for (int n = 0; n < perBatch && !rs.Eof(); ++n, rs.MoveNext()) {
            for (int c = 0; c < width; ++c)
                values << rs.Field(c);
            tuples << oneRow;
        }
        if (!m_to.ExecuteParams(head + tuples.join(u','), values))
            return fail(m_to.LastError().Description());
        done += tuples.size();
        if (m_progress)
            m_progress(target, done, total);
    }
    const qint64 counted = SchemaCatalog(m_to).rowCount(target);
    if (counted != total)
        return fail(QStringLiteral("%1 rows read but %2 rows in the target").arg(total).arg(counted));
    if (!m_to.Execute(QStringLiteral("COMMIT")))
        return fail(QStringLiteral("cannot commit: %1").arg(m_to.LastError().Description()));
    m_copied << QStringLiteral("%1: %2 rows").arg(target).arg(total);
    return {};
}
