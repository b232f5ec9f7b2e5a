#include "SchemaScripts.h"

#include "DemoUsers.h"
#include "FunctionDemo.h"
#include "ViewingDemo.h"

#include "components/data/Database.h"
#include "components/data/SchemaCatalog.h"

#include <QDate>
#include <QFile>
#include <QRegularExpression>
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
    // The demo agency's listings, customers, follow-ups, contracts, offers and viewings, as the demo installation has them.
    if (!DemoUsers::setPasswords(db, resourceText("users.txt"), error))
        return false;
    if (const auto added = FunctionDemo::addRows(db); !added) {
        error = added.error();
        return false;
    }
    return ViewingDemo::add(db, QDate::currentDate(), error);
}

QStringList SchemaScripts::tableOrder()
{
    static const QRegularExpression create(QStringLiteral("CREATE\\s+TABLE\\s+(\\w+)"), QRegularExpression::CaseInsensitiveOption);
    QStringList order;
    for (QRegularExpressionMatchIterator it = create.globalMatch(schema()); it.hasNext();)
        order << it.next().captured(1).toLower();
    return order;
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
