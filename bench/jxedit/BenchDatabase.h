#pragma once

// The demo database of the business benchmarks, grown to the rows a
// benchmark needs, in a file of its own.

#include "FunctionDemo.h"

#include "components/data/Database.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <cstdlib>
#include "ProgramPaths.h"

namespace benchdb {

inline QString readFile(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return QString::fromUtf8(f.readAll());
}

// Schema, seed and business demo in `path`, then listings (and customers)
// up to the counts given; a failure ends the benchmark run with the reason.
inline void build(Database &db, const QString &path, int listings, int customers)
{
    QFile(path).open(QIODevice::WriteOnly);
    jx::Result<> demo; // the demo step that failed, if one did
    const bool ok = db.OpenDirect(QStringLiteral("sqlite"), path)
        && db.ExecuteScript(readFile(programPath("JX_DEMO_DIR") + QStringLiteral("/schema.sql")))
        && db.ExecuteScript(readFile(programPath("JX_DEMO_DIR") + QStringLiteral("/seed.sql")))
        && (demo = FunctionDemo::load(db, programPath("JX_FUNCTION_DEMO_DIR")))
        && (listings <= 300 || (demo = FunctionDemo::addListings(db, 301, listings - 300)))
        && (customers <= 150 || (demo = FunctionDemo::addCustomers(db, 151, customers - 150)))
        && db.Execute(QStringLiteral("analyze"));
    if (!ok) {
        std::fprintf(stderr, "setup failed: %s %s\n", qPrintable(demo.error()), qPrintable(db.LastError().Description()));
        std::exit(1);
    }
}

// The schema and definitions a database was built from: a change to them
// makes a cached database stale.
inline QString demoHash()
{
    QCryptographicHash h(QCryptographicHash::Sha1);
    const QString demo = programPath("JX_DEMO_DIR"), functions = programPath("JX_FUNCTION_DEMO_DIR");
    for (const QString &file : {demo + QStringLiteral("/schema.sql"), demo + QStringLiteral("/seed.sql"),
                                functions + QStringLiteral("/schema.sql"), functions + QStringLiteral("/functions.sql")})
        h.addData(readFile(file).toUtf8());
    return QString::fromLatin1(h.result().toHex().left(8));
}

// The demo with `listings` listings on `db` (already open, SQLite or a
// PostgreSQL schema on the search path); a failure ends the run.
inline void fill(Database &db, int listings)
{
    jx::Result<> demo; // the demo step that failed, if one did
    const bool ok = db.ExecuteScript(readFile(programPath("JX_DEMO_DIR") + QStringLiteral("/schema.sql")))
        && db.ExecuteScript(readFile(programPath("JX_DEMO_DIR") + QStringLiteral("/seed.sql")))
        && (demo = FunctionDemo::load(db, programPath("JX_FUNCTION_DEMO_DIR")))
        && (listings <= 300 || (demo = FunctionDemo::addListingsInBulk(db, 301, listings - 300)))
        && db.Execute(QStringLiteral("analyze"));
    if (!ok) {
        std::fprintf(stderr, "setup failed: %s %s\n", qPrintable(demo.error()), qPrintable(db.LastError().Description()));
        std::exit(1);
    }
}

// An SQLite demo database of `listings` listings, built once and kept under
// the build folder (bench-data) between runs; its path.
inline QString cachedSqlite(int listings)
{
    const QString dir = programPath("JX_BENCH_DATA_DIR");
    QDir().mkpath(dir);
    const QString path = dir + QStringLiteral("/listings-%1-%2.db").arg(listings).arg(demoHash());
    if (QFileInfo::exists(path))
        return path;
    std::fprintf(stderr, "building %s ...\n", qPrintable(path));
    const QString partial = path + QStringLiteral(".part");
    QFile::remove(partial);
    QFile(partial).open(QIODevice::WriteOnly);
    {
        Database db;
        if (!db.OpenDirect(QStringLiteral("sqlite"), partial)) {
            std::fprintf(stderr, "cannot open %s\n", qPrintable(partial));
            std::exit(1);
        }
        fill(db, listings);
    }
    // Renamed only when whole: an interrupted build is never taken for a cache.
    if (!QFile::rename(partial, path)) {
        std::fprintf(stderr, "cannot keep %s\n", qPrintable(path));
        std::exit(1);
    }
    return path;
}

// The throw-away PostgreSQL server of the benchmarks (JX_BENCH_PG, else
// JX_TEST_PG); empty when neither is set and PostgreSQL is skipped.
inline QString postgresConnection()
{
    const QString bench = qEnvironmentVariable("JX_BENCH_PG");
    return bench.isEmpty() ? qEnvironmentVariable("JX_TEST_PG") : bench;
}

// `db` opened on a schema of the benchmark server holding `listings`
// listings, kept there between runs like the SQLite files.
inline bool openPostgres(Database &db, int listings)
{
    const QString connection = postgresConnection();
    if (connection.isEmpty() || !db.OpenDirect(QStringLiteral("postgres"), connection))
        return false;
    const QString schema = QStringLiteral("bench_%1_%2").arg(listings).arg(demoHash());
    const QVariant found = db.QueryParams(QStringLiteral("select count(*) from information_schema.schemata where schema_name=?"), {schema}).Value();
    if (found.toInt() == 0) {
        std::fprintf(stderr, "building schema %s ...\n", qPrintable(schema));
        const QString partial = schema + QStringLiteral("_part");
        db.Execute(QStringLiteral("drop schema if exists %1 cascade").arg(partial));
        if (!db.Execute(QStringLiteral("create schema ") + partial) || !db.Execute(QStringLiteral("set search_path to ") + partial))
            return false;
        fill(db, listings);
        if (!db.Execute(QStringLiteral("alter schema %1 rename to %2").arg(partial, schema)))
            return false;
    }
    return db.Execute(QStringLiteral("set search_path to ") + schema);
}

} // namespace benchdb
