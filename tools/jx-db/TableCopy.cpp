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
bool sourceTables(const SchemaCatalog &from, Database &db, QStringList &tables, QString &error)
{
    bool ok = false;
    tables = from.tables(&ok);
    if (!ok) {
        error = QStringLiteral("cannot list the tables of the source: %1").arg(db.LastError().Description());
        return false;
    }
    if (tables.isEmpty()) {
        error = QStringLiteral("the source holds no tables");
        return false;
    }
    const QStringList order = SchemaScripts::tableOrder();
    const auto rank = [&order](const QString &t) {
        const qsizetype i = order.indexOf(t.toLower());
        return i < 0 ? order.size() : i;
    };
    std::stable_sort(tables.begin(), tables.end(), [&](const QString &a, const QString &b) { return rank(a) < rank(b); });
    return true;
}

// The target's tables; a target without any gets the product schema, so its
// tables are the schema's.
bool targetTables(const SchemaCatalog &to, Database &db, TargetTables &target, bool &createSchema, QString &error)
{
    bool ok = false;
    const QStringList existing = to.tables(&ok);
    if (!ok) {
        error = QStringLiteral("cannot list the tables of the target: %1").arg(db.LastError().Description());
        return false;
    }
    createSchema = existing.isEmpty();
    if (!createSchema) {
        for (const QString &t : existing)
            target.insert(t.toLower(), {t, to.columns(t)});
        return true;
    }
    const auto expected = SchemaScripts::expected(error);
    if (expected.isEmpty())
        return false;
    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
        target.insert(it.key(), {it.key(), it.value()});
    return true;
}

// Each source table's columns as the target names them, in source order.
// Refused, before anything is written, when a table or column has no place
// in the target or a target table holds rows that are not to be replaced.
bool mapColumns(const SchemaCatalog &from, const SchemaCatalog &to, const QStringList &tables, const TargetTables &target,
                bool keepRows, QMap<QString, QStringList> &columnsOf, QString &error)
{
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
    if (!unknown.isEmpty()) {
        error = QStringLiteral("the target has no place for: %1; nothing was copied").arg(unknown.join(QStringLiteral(", ")));
        return false;
    }
    if (!full.isEmpty()) {
        error = QStringLiteral("the target already holds data in %1; nothing was copied (give --replace to overwrite it)")
                    .arg(full.join(QStringLiteral(", ")));
        return false;
    }
    return true;
}

// Replaced rows go first, in one transaction, the referring tables before
// those they refer to.
bool emptyTables(Database &db, const QStringList &tables, const TargetTables &target, QString &error)
{
    bool emptied = db.Execute(QStringLiteral("BEGIN"));
    for (auto it = tables.crbegin(); emptied && it != tables.crend(); ++it)
        emptied = db.Execute(QStringLiteral("DELETE FROM %1").arg(target.value(it->toLower()).name));
    if (emptied && db.Execute(QStringLiteral("COMMIT")))
        return true;
    error = QStringLiteral("cannot empty the target's tables: %1; nothing was copied").arg(db.LastError().Description());
    db.Execute(QStringLiteral("ROLLBACK"));
    return false;
}

} // namespace

bool TableCopy::run(QString &error)
{
    m_copied.clear();
    const SchemaCatalog from(m_from), to(m_to);
    QStringList tables;
    TargetTables target;
    bool createSchema = false;
    QMap<QString, QStringList> columnsOf;
    if (!sourceTables(from, m_from, tables, error) || !targetTables(to, m_to, target, createSchema, error)
        || !mapColumns(from, to, tables, target, !createSchema && !m_replace, columnsOf, error))
        return false;
    if (createSchema && !SchemaScripts::create(m_to, false, error))
        return false;
    if (m_replace && !createSchema && !emptyTables(m_to, tables, target, error))
        return false;
    for (const QString &table : tables) {
        if (!copyTable(table, target.value(table.toLower()).name, columnsOf.value(table), error))
            return false;
    }
    return true;
}

bool TableCopy::copyTable(const QString &source, const QString &target, const QStringList &columns, QString &error)
{
    const QueryResult rows = m_from.Query(QStringLiteral("select * from %1").arg(source), 1);
    if (!rows.ok()) {
        error = QStringLiteral("cannot read %1: %2").arg(source, m_from.LastError().Description());
        return false;
    }
    Recordset rs = rows.Recordset();
    const qint64 total = rs.recordCount();
    const int width = static_cast<int>(columns.size());

    auto fail = [&](const QString &what) {
        error = QStringLiteral("%1: %2; the table was left as it was").arg(target, what);
        m_to.Execute(QStringLiteral("ROLLBACK"));
        return false;
    };
    if (!m_to.Execute(QStringLiteral("BEGIN"))) {
        error = QStringLiteral("%1: cannot begin a transaction: %2").arg(target, m_to.LastError().Description());
        return false;
    }

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
    return true;
}
