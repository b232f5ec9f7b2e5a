#include "components/data/SchemaCatalog.h"

#include "components/data/Database.h"

#include <QRegularExpression>

namespace {
// Table names come from the catalogue or from the caller; only plain
// identifiers are put into statement text.
bool plainIdentifier(const QString &name)
{
    static const QRegularExpression re(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return re.match(name).hasMatch();
}
} // namespace

QStringList SchemaCatalog::tables(bool *ok) const
{
    const bool postgres = m_db.Properties(QStringLiteral("driver")).toString() == u"postgres";
    const QString sql = postgres
        ? QStringLiteral("select table_name from information_schema.tables"
                         " where table_schema = current_schema() and table_type = 'BASE TABLE'")
        : QStringLiteral("select name from sqlite_master where type = 'table' and name not like 'sqlite\\_%' escape '\\'");
    const QueryResult result = m_db.Query(sql, 1);
    if (ok)
        *ok = result.ok();
    QStringList names;
    for (Recordset rs = result.Recordset(); !rs.Eof(); rs.MoveNext())
        names << rs.Field(0).toString();
    names.sort(Qt::CaseInsensitive);
    return names;
}

QStringList SchemaCatalog::columns(const QString &table) const
{
    if (!plainIdentifier(table))
        return {};
    const QueryResult result = m_db.Query(QStringLiteral("select * from %1 where 1=0").arg(table), 1);
    return result.ok() ? result.Recordset().fieldNames() : QStringList();
}

qint64 SchemaCatalog::rowCount(const QString &table) const
{
    if (!plainIdentifier(table))
        return -1;
    const QueryResult result = m_db.Query(QStringLiteral("select count(*) from %1").arg(table), 1);
    if (!result.ok())
        return -1;
    bool ok = false;
    const qint64 n = result.Value().toLongLong(&ok);
    return ok ? n : -1;
}

QString SchemaCatalog::find(const QStringList &names, const QString &name)
{
    for (const QString &n : names)
        if (n.compare(name, Qt::CaseInsensitive) == 0)
            return n;
    return {};
}
