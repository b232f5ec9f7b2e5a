// jx-db: creates, copies and checks the product database of an installation,
// on a SQLite file or a PostgreSQL server shared by all workstations.
#include "DbLocation.h"
#include "InstallationCheck.h"
#include "SchemaScripts.h"
#include "TableCopy.h"

#include "components/data/Database.h"
#include "components/data/SchemaCatalog.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace {
enum Exit { Done = 0, Failed = 1, Usage = 2 };

const char *kDatabaseHelp =
    "A database is one of:\n"
    "  path/JxMain1.exe.Config         the database an installation's configuration names\n"
    "  path/file.db or sqlite:path     a SQLite file\n"
    "  postgres://user@host:port/name  a PostgreSQL database; the password comes from\n"
    "                                  ~/.pgpass (host:port:name:user:password, mode 0600)\n";

void out(const QString &text) { std::fprintf(stdout, "%s\n", text.toLocal8Bit().constData()); }
void err(const QString &text) { std::fprintf(stderr, "jx-db: %s\n", text.toLocal8Bit().constData()); }

bool location(const QString &text, DbLocation &loc)
{
    auto parsed = DbLocation::parse(text);
    if (!parsed) {
        err(parsed.error());
        return false;
    }
    loc = std::move(parsed).value();
    return true;
}

void tellWorkstations(const DbLocation &loc)
{
    if (!loc.isPostgres())
        return;
    out(QStringLiteral("Point each workstation's JxMain1.exe.Config at it with\n  %1\n"
                       "and give each workstation user a ~/.pgpass line for it (chmod 600).")
            .arg(loc.configElement()));
}

int openOrExplain(const DbLocation &loc, Database &db)
{
    if (loc.open(db))
        return Done;
    err(QStringLiteral("cannot open %1: %2").arg(loc.describe(), db.LastError().Description()));
    const QString hint = loc.passwordFileHint(db.LastError().Description());
    if (!hint.isEmpty())
        err(hint);
    return Failed;
}

// A new SQLite file is built beside its final name and renamed when complete,
// so a failed init leaves no half-made database behind.
int initSqlite(const DbLocation &loc, bool demo)
{
    const QFileInfo target(loc.file());
    if (target.exists() && target.size() > 0) {
        err(QStringLiteral("%1 exists already; init makes new databases only").arg(loc.file()));
        return Failed;
    }
    if (!QDir().mkpath(target.absolutePath())) {
        err(QStringLiteral("cannot create the folder %1").arg(target.absolutePath()));
        return Failed;
    }
    const QString part = loc.file() + QStringLiteral(".part");
    QFile::remove(part);
    {
        QFile empty(part);
        if (!empty.open(QIODevice::WriteOnly)) {
            err(QStringLiteral("cannot create %1: %2").arg(part, empty.errorString()));
            return Failed;
        }
    }
    {
        Database db;
        const bool opened = db.OpenDirect(QStringLiteral("sqlite"), part);
        const auto created = opened ? SchemaScripts::create(db, demo) : jx::Result<>();
        if (!opened || !created) {
            err(created.error().isEmpty() ? db.LastError().Description() : created.error());
            db.Close();
            QFile::remove(part);
            return Failed;
        }
    }
    if ((target.exists() && !QFile::remove(loc.file())) || !QFile::rename(part, loc.file())) {
        err(QStringLiteral("cannot move %1 to %2").arg(part, loc.file()));
        QFile::remove(part);
        return Failed;
    }
    return Done;
}

int initPostgres(const DbLocation &loc, bool demo)
{
    Database db;
    if (const int rc = openOrExplain(loc, db))
        return rc;
    const auto expectedTables = SchemaScripts::expected();
    if (!expectedTables || expectedTables->isEmpty()) {
        err(expectedTables.error());
        return Failed;
    }
    const QMap<QString, QStringList> &expected = *expectedTables;
    bool ok = false;
    const QStringList tables = SchemaCatalog(db).tables(&ok);
    if (!ok) {
        err(QStringLiteral("cannot list the tables: %1").arg(db.LastError().Description()));
        return Failed;
    }
    QStringList present;
    for (const QString &t : expected.keys())
        if (!SchemaCatalog::find(tables, t).isEmpty())
            present << t;
    if (!present.isEmpty()) {
        err(QStringLiteral("%1 already holds product tables (%2); init makes new databases only")
                .arg(loc.describe(), present.join(QStringLiteral(", "))));
        return Failed;
    }
    if (const auto created = SchemaScripts::create(db, demo); !created) {
        err(created.error());
        return Failed;
    }
    return Done;
}

int runInit(QCommandLineParser &parser, const QStringList &args)
{
    parser.clearPositionalArguments();
    parser.addPositionalArgument(QStringLiteral("init"), QStringLiteral("Create the product schema."));
    parser.addPositionalArgument(QStringLiteral("database"), QStringLiteral("Where to create it."));
    const QCommandLineOption demo(QStringLiteral("demo"), QStringLiteral("Fill in the demo agency, its menus and users."));
    parser.addOption(demo);
    parser.process(args);
    const QStringList pos = parser.positionalArguments();
    if (pos.size() != 2) {
        err(QStringLiteral("usage: jx-db init DATABASE [--demo]"));
        return Usage;
    }
    DbLocation loc;
    if (!location(pos[1], loc))
        return Usage;
    const int rc = loc.isPostgres() ? initPostgres(loc, parser.isSet(demo)) : initSqlite(loc, parser.isSet(demo));
    if (rc == Done) {
        out(QStringLiteral("created the product schema%1 in %2")
                .arg(parser.isSet(demo) ? QStringLiteral(" and the demo data") : QString(), loc.describe()));
        tellWorkstations(loc);
    }
    return rc;
}

int runCopy(QCommandLineParser &parser, const QStringList &args)
{
    parser.clearPositionalArguments();
    parser.addPositionalArgument(QStringLiteral("copy"), QStringLiteral("Copy every table."));
    parser.addPositionalArgument(QStringLiteral("from"), QStringLiteral("The database to read."));
    parser.addPositionalArgument(QStringLiteral("to"), QStringLiteral("The database to write."));
    const QCommandLineOption replace(QStringLiteral("replace"),
                                     QStringLiteral("Replace the rows of a target that already holds data."));
    parser.addOption(replace);
    parser.process(args);
    const QStringList pos = parser.positionalArguments();
    if (pos.size() != 3) {
        err(QStringLiteral("usage: jx-db copy FROM TO [--replace]"));
        return Usage;
    }
    DbLocation from, to;
    if (!location(pos[1], from) || !location(pos[2], to))
        return Usage;
    if (from.sameAs(to)) {
        err(QStringLiteral("source and target are the same database: %1").arg(from.describe()));
        return Usage;
    }
    Database source, target;
    if (const int rc = openOrExplain(from, source))
        return rc;
    if (!to.isPostgres() && !QFileInfo::exists(to.file())) {
        // A SQLite target that does not exist yet starts as an empty file.
        QDir().mkpath(QFileInfo(to.file()).absolutePath());
        QFile empty(to.file());
        if (!empty.open(QIODevice::WriteOnly)) {
            err(QStringLiteral("cannot create %1: %2").arg(to.file(), empty.errorString()));
            return Failed;
        }
    }
    if (const int rc = openOrExplain(to, target))
        return rc;

    TableCopy copy(source, target);
    copy.setReplace(parser.isSet(replace));
    QElapsedTimer since;
    since.start();
    copy.setProgress([&since](const QString &table, qint64 done, qint64 total) {
        // Long copies report about once a second; short ones stay quiet.
        if (done < total && since.elapsed() < 1000)
            return;
        if (done == total && total < 10000)
            return;
        since.restart();
        std::fprintf(stderr, "  %s: %lld of %lld rows\n", table.toLocal8Bit().constData(),
                     static_cast<long long>(done), static_cast<long long>(total));
    });
    const auto ran = copy.run();
    for (const QString &line : copy.copied())
        out(QStringLiteral("copied %1").arg(line));
    if (!ran) {
        err(ran.error());
        return Failed;
    }
    out(QStringLiteral("copied %1 tables from %2 to %3").arg(copy.copied().size()).arg(from.describe(), to.describe()));
    tellWorkstations(to);
    return Done;
}

int runCheck(QCommandLineParser &parser, const QStringList &args)
{
    parser.clearPositionalArguments();
    parser.addPositionalArgument(QStringLiteral("check"), QStringLiteral("Check a database as the console would open it."));
    parser.addPositionalArgument(QStringLiteral("database"), QStringLiteral("The database to check."));
    parser.process(args);
    const QStringList pos = parser.positionalArguments();
    if (pos.size() != 2) {
        err(QStringLiteral("usage: jx-db check DATABASE"));
        return Usage;
    }
    DbLocation loc;
    if (!location(pos[1], loc))
        return Usage;
    InstallationCheck check;
    const bool ok = check.run(loc);
    for (const QString &line : check.summary())
        out(line);
    for (const QString &line : check.warnings())
        out(QStringLiteral("warning: %1").arg(line));
    for (const QString &line : check.problems())
        out(QStringLiteral("problem: %1").arg(line));
    out(ok ? QStringLiteral("ok: the console finds everything it needs in %1").arg(loc.describe())
           : QStringLiteral("%1 problem(s) in %2").arg(check.problems().size()).arg(loc.describe()));
    return ok ? Done : Failed;
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("jx-db"));
    QCoreApplication::setApplicationVersion(QStringLiteral(JX_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Creates, copies and checks the product database.\n\n"
                       "  jx-db init DATABASE [--demo]     create the schema in a new database\n"
                       "  jx-db copy FROM TO [--replace]   copy every table, one transaction each\n"
                       "  jx-db check DATABASE             report what the console would miss\n\n")
        + QString::fromLatin1(kDatabaseHelp));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("init, copy or check"));
    parser.parse(app.arguments()); // options of the command are added once it is known
    const QStringList pos = parser.positionalArguments();
    const QString command = pos.isEmpty() ? QString() : pos.first();
    if (command == u"init")
        return runInit(parser, app.arguments());
    if (command == u"copy")
        return runCopy(parser, app.arguments());
    if (command == u"check")
        return runCheck(parser, app.arguments());
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(Done);
    err(command.isEmpty() ? QStringLiteral("name a command: init, copy or check")
                          : QStringLiteral("unknown command %1; the commands are init, copy and check").arg(command));
    std::fprintf(stderr, "%s", parser.helpText().toLocal8Bit().constData());
    return Usage;
}
