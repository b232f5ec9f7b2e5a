#pragma once

#include "components/data/Database.h"

#include <QCoreApplication>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <memory>
#include "ProgramPaths.h"

// Opens a fresh product database loaded from the demo schema and seed:
// a file in a temporary folder for SQLite, a private schema for PostgreSQL.
class TestDatabase
{
public:
    static QString readDemo(const char *name)
    {
        QFile f(programPath("JX_DEMO_DIR") + QStringLiteral("/") + QString::fromLatin1(name));
        f.open(QIODevice::ReadOnly);
        return QString::fromUtf8(f.readAll());
    }

    static bool postgresAvailable() { return !qEnvironmentVariable("JX_TEST_PG").isEmpty(); }

    // engine "sqlite" or "postgres"; false with reason when it cannot be set up.
    bool open(const QString &engine, QString &why)
    {
        db = std::make_unique<Database>();
        if (engine == u"sqlite") {
            const QString path = dir.filePath(QStringLiteral("jx.db"));
            QFile(path).open(QIODevice::WriteOnly);
            if (!db->OpenDirect(engine, path)) {
                why = db->LastError().Description();
                return false;
            }
        } else {
            if (!db->OpenDirect(engine, qEnvironmentVariable("JX_TEST_PG"))) {
                why = db->LastError().Description();
                return false;
            }
            schema = QStringLiteral("t%1_%2").arg(QCoreApplication::applicationPid()).arg(QRandomGenerator::global()->bounded(1000000));
            if (!db->Execute(QStringLiteral("CREATE SCHEMA ") + schema)
                || !db->Execute(QStringLiteral("SET search_path TO ") + schema)) {
                why = db->LastError().Description();
                return false;
            }
        }
        if (!db->ExecuteScript(readDemo("schema.sql")) || !db->ExecuteScript(readDemo("seed.sql"))) {
            why = db->LastError().Description();
            return false;
        }
        return true;
    }

    ~TestDatabase()
    {
        if (db && !schema.isEmpty())
            db->Execute(QStringLiteral("DROP SCHEMA ") + schema + QStringLiteral(" CASCADE"));
    }

    QTemporaryDir dir;
    std::unique_ptr<Database> db;
    QString schema;
};
