#include "InstallationCheck.h"

#include "DbLocation.h"
#include "SchemaScripts.h"

#include "components/context/AppContext.h"
#include "components/data/Database.h"
#include "components/data/SchemaCatalog.h"

namespace {
struct Needed
{
    const char *table;
    const char *where;
    const char *missing;
};
// Rows without which the console starts but nobody can work.
constexpr Needed kNeeded[] = {
    {"xt_menu", "", "no menu entries (xt_menu is empty)"},
    {"xt_mode", "", "no modules (xt_mode is empty), so no navigation group"},
    {"jx_user", " where active=1 and pwhash<>''", "no active user with a password, so nobody can sign in"},
    {"sysdatabase", "", "no company record (sysdatabase is empty)"},
};
} // namespace

bool InstallationCheck::run(const DbLocation &location)
{
    m_problems.clear();
    m_warnings.clear();
    m_summary.clear();
    if (location.isPostgres() && location.configHoldsPassword())
        m_warnings << QStringLiteral("%1 keeps a database password; put it into ~/.pgpass of each user instead and "
                                     "remove the password attribute")
                          .arg(location.configFile());

    Database db;
    if (!location.open(db)) {
        m_problems << QStringLiteral("cannot open %1: %2").arg(location.describe(), db.LastError().Description());
        const QString hint = location.passwordFileHint(db.LastError().Description());
        if (!hint.isEmpty())
            m_problems << hint;
        return false;
    }
    m_summary << QStringLiteral("opened %1").arg(location.describe());

    AppContext context;
    if (!context.Attach(&db, 0))
        m_problems << QStringLiteral("the console would stop: %1").arg(context.LastError().Description());

    const auto expectedTables = SchemaScripts::expected();
    if (!expectedTables || expectedTables->isEmpty()) {
        m_problems << QStringLiteral("cannot build the expected schema: %1").arg(expectedTables.error());
        return false;
    }
    const QMap<QString, QStringList> &expected = *expectedTables;
    const SchemaCatalog catalog(db);
    bool ok = false;
    const QStringList tables = catalog.tables(&ok);
    if (!ok) {
        m_problems << QStringLiteral("cannot list the tables: %1").arg(db.LastError().Description());
        return false;
    }
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        const QString table = SchemaCatalog::find(tables, it.key());
        if (table.isEmpty()) {
            m_problems << QStringLiteral("missing table %1").arg(it.key());
            continue;
        }
        const QStringList have = catalog.columns(table);
        for (const QString &column : it.value())
            if (SchemaCatalog::find(have, column).isEmpty())
                m_problems << QStringLiteral("missing column %1.%2").arg(it.key(), column);
        m_summary << QStringLiteral("%1: %2 rows").arg(it.key()).arg(catalog.rowCount(table));
    }
    for (const Needed &n : kNeeded) {
        const QString table = SchemaCatalog::find(tables, QString::fromLatin1(n.table));
        if (table.isEmpty())
            continue; // already reported as missing
        const QueryResult r = db.Query(QStringLiteral("select count(*) from %1%2").arg(table, QString::fromLatin1(n.where)), 1);
        if (r.ok() && r.Value().toLongLong() == 0)
            m_problems << QString::fromLatin1(n.missing);
    }
    return m_problems.isEmpty();
}
