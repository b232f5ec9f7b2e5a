#include "SchemaScripts.h"

#include "components/context/CurrentUser.h"
#include "components/data/Database.h"
#include "components/data/SchemaCatalog.h"

#include <QFile>
#include <QTemporaryDir>

namespace {
QString resourceText(const char *name)
{
    QFile f(QStringLiteral(":/jx-db/") + QString::fromLatin1(name));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll());
}
} // namespace

// The business functions' tables and definitions belong to the product schema too.
QString SchemaScripts::schema() { return resourceText("schema.sql") + u'\n' + resourceText("functions-schema.sql"); }
QString SchemaScripts::seed() { return resourceText("seed.sql") + u'\n' + resourceText("functions.sql"); }

bool SchemaScripts::create(Database &db, bool demo, QString &error)
{
    const QString script = demo ? schema() + u'\n' + seed() : schema();
    if (!db.ExecuteScript(script)) {
        error = db.LastError().Description();
        return false;
    }
    if (!demo)
        return true;
    for (const QString &line : resourceText("users.txt").split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList parts = line.simplified().split(u' ');
        if (parts.size() != 2)
            continue;
        const QString hash = CurrentUser::hashPassword(parts[1]);
        if (hash.isEmpty()
            || !db.ExecuteParams(QStringLiteral("update jx_user set pwhash=? where username=?"), {hash, parts[0]})) {
            error = QStringLiteral("cannot set the password of %1: %2").arg(parts[0], db.LastError().Description());
            return false;
        }
    }
    return true;
}

QMap<QString, QStringList> SchemaScripts::expected(QString &error)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("expected.db"));
    QFile(path).open(QIODevice::WriteOnly);
    Database db;
    QMap<QString, QStringList> tables;
    if (!db.OpenDirect(QStringLiteral("sqlite"), path) || !db.ExecuteScript(schema())) {
        error = db.LastError().Description();
        return tables;
    }
    const SchemaCatalog catalog(db);
    for (const QString &table : catalog.tables()) {
        QStringList columns;
        for (const QString &c : catalog.columns(table))
            columns << c.toLower();
        tables.insert(table.toLower(), columns);
    }
    db.Close();
    return tables;
}
