#pragma once

// The demo database of the business benchmarks, grown to the rows a
// benchmark needs, in a file of its own.

#include "FunctionDemo.h"

#include "components/data/Database.h"

#include <QFile>

#include <cstdio>
#include <cstdlib>

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
    QString why;
    const bool ok = db.OpenDirect(QStringLiteral("sqlite"), path)
        && db.ExecuteScript(readFile(QStringLiteral(JX_DEMO_DIR "/schema.sql")))
        && db.ExecuteScript(readFile(QStringLiteral(JX_DEMO_DIR "/seed.sql")))
        && FunctionDemo::load(db, QStringLiteral(JX_FUNCTION_DEMO_DIR), why)
        && (listings <= 300 || FunctionDemo::addListings(db, 301, listings - 300, why))
        && (customers <= 150 || FunctionDemo::addCustomers(db, 151, customers - 150, why))
        && db.Execute(QStringLiteral("analyze"));
    if (!ok) {
        std::fprintf(stderr, "setup failed: %s %s\n", qPrintable(why), qPrintable(db.LastError().Description()));
        std::exit(1);
    }
}

} // namespace benchdb
