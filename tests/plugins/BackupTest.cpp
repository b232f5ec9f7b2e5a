#include "PluginTestSession.h"

#include "console/startup/bMain.h"
#include "components/data/StatementFailure.h"
#include "dbbackup/DatabaseBackup.h"

#include <QDate>
#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <atomic>
#include <thread>
#include "ProgramPaths.h"

using namespace jxtest;

namespace {

sqlite3 *openDb(const QString &path)
{
    sqlite3 *db = nullptr;
    EXPECT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
    sqlite3_busy_timeout(db, 10000);
    return db;
}

// "count|sum" of the pairs table.
QString pairsState(const QString &path)
{
    sqlite3 *db = openDb(path);
    sqlite3_stmt *s = nullptr;
    QString state;
    if (sqlite3_prepare_v2(db, "select count(*), coalesce(sum(v), 0) from pairs", -1, &s, nullptr) == SQLITE_OK
        && sqlite3_step(s) == SQLITE_ROW)
        state = QString::number(sqlite3_column_int64(s, 0)) + u'|' + QString::number(sqlite3_column_int64(s, 1));
    sqlite3_finalize(s);
    sqlite3_close(db);
    return state;
}

QStringList backups(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

// "jx-<8 hex>" of the copy the last run made or found.
QString ownStem(const DatabaseBackup &backup)
{
    const QString name = QFileInfo(backup.BackupFile()).fileName();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^jx-[0-9a-f]{8}-\\d{8}\\.db$")).match(name).hasMatch()) << name.toStdString();
    return name.left(11);
}

QString pluginEntry(const QString &inner)
{
    return QStringLiteral("<plugins><plugin active=\"加载\"><style>101</style>"
                          "<classname>jxBackup.DailyBackup</classname>%1</plugin></plugins>")
        .arg(inner);
}

} // namespace

TEST(DatabaseBackup, CopyIsOneConsistentStateWhileAnotherConnectionWrites)
{
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("live.db"));
    sqlite3 *setup = openDb(source);
    ASSERT_EQ(sqlite3_exec(setup, "create table pairs (v integer, pad text)", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(setup);

    // Every transaction adds +n and -n with some bulk: a consistent state has an
    // even count and a zero sum.
    std::atomic<bool> stop{false};
    std::atomic<int> commits{0};
    std::thread writer([&] {
        sqlite3 *db = openDb(source);
        // Commits as fast as the disk allows nothing: many of them land during each copy.
        sqlite3_exec(db, "pragma synchronous = off", nullptr, nullptr, nullptr);
        for (int n = 1; !stop; ++n) {
            const QByteArray sql = QStringLiteral("begin immediate; insert into pairs values (%1, randomblob(2000)); "
                                                  "insert into pairs values (-%1, randomblob(2000)); commit;")
                                       .arg(n)
                                       .toLatin1();
            if (sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr) == SQLITE_OK)
                ++commits;
            else
                sqlite3_exec(db, "rollback", nullptr, nullptr, nullptr);
        }
        sqlite3_close(db);
    });
    while (commits < 20)
        std::this_thread::yield();

    QStringList states;
    const int committedBefore = commits;
    for (int i = 0; i < 5; ++i) {
        const QString target = dir.filePath(QStringLiteral("copy%1.db").arg(i));
        const auto copied = DatabaseBackup::CopySqlite(source, target);
        EXPECT_TRUE(copied) << copied.error().toStdString();
        states << pairsState(target);
    }
    const int committedDuring = commits - committedBefore;
    stop = true;
    writer.join();
    EXPECT_GT(committedDuring, 0); // the copies really raced a writer

    for (const QString &state : states) {
        const QStringList parts = state.split(u'|');
        ASSERT_EQ(parts.size(), 2) << state.toStdString();
        EXPECT_GT(parts.at(0).toInt(), 0);
        EXPECT_EQ(parts.at(0).toInt() % 2, 0) << state.toStdString();
        EXPECT_EQ(parts.at(1), QStringLiteral("0")) << state.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("copy0.db.part"))));

    // Not a database: refused with a reason, and no file is left behind.
    QFile junk(dir.filePath(QStringLiteral("junk.db")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(8192, 'x'));
    junk.close();
    const auto fromJunk = DatabaseBackup::CopySqlite(junk.fileName(), dir.filePath(QStringLiteral("junkcopy.db")));
    EXPECT_FALSE(fromJunk);
    EXPECT_FALSE(fromJunk.error().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("junkcopy.db"))));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("junkcopy.db.part"))));
}

TEST(DatabaseBackup, OneCopyPerDayAndOnlyTheNewestAreKept)
{
    PluginTestSession t;
    t.installation.writeConfig(QStringLiteral("<plugins><plugin active=\"加载\"><style>101</style>"
                                              "<classname>jxBackup.DailyBackup</classname><keep>3</keep></plugin></plugins>"));
    const QString folder = t.installation.path(QStringLiteral("backup"));
    QDir().mkpath(folder);
    t.installation.write(QStringLiteral("backup/notes-20200101.txt"), "kept");

    DatabaseBackup backup(t.installation.configFile(), t.installation.folder(), QStringLiteral("jxBackup.DailyBackup"));
    const QDate first(2026, 12, 1);
    for (int day = 0; day < 5; ++day)
        ASSERT_TRUE(backup.Run(first.addDays(day))) << backup.Error().toStdString();
    EXPECT_EQ(backup.Keep(), 3);
    // The name carries the database's identity between its base name and the day.
    const QString stem = ownStem(backup);
    EXPECT_EQ(backups(folder), (QStringList{stem + QStringLiteral("-20261203.db"), stem + QStringLiteral("-20261204.db"),
                                            stem + QStringLiteral("-20261205.db"), QStringLiteral("notes-20200101.txt")}));

    // The same day again finds its copy and writes nothing.
    const QString last = QDir(folder).filePath(stem + QStringLiteral("-20261205.db"));
    const QDateTime written = QFileInfo(last).lastModified();
    ASSERT_TRUE(backup.Run(first.addDays(4)));
    EXPECT_TRUE(backup.AlreadyDone());
    EXPECT_EQ(QFileInfo(last).lastModified(), written);

    // The copy is the product database.
    EXPECT_EQ(pairsState(last), QString()); // no such table
    Database copy;
    ASSERT_TRUE(copy.OpenDirect(QStringLiteral("sqlite"), last));
    EXPECT_GT(copy.Query(QStringLiteral("select count(*) from jx_user"), 1).Value().toInt(), 0);
}

TEST(DatabaseBackup, RunsAtSignInThroughItsRegistrationAndReportsWhatItCannotDo)
{
    PluginTestSession t;
    PluginTestSession::registerLibrary(programPath("JXBACKUP_PATH"));
    t.open(QStringLiteral("<plugins><plugin active=\"加载\"><style>101</style>"
                          "<classname>jxBackup.DailyBackup</classname></plugin></plugins>"));
    t.session.CurrentUser()->SetUserName(QStringLiteral("admin"));
    jx::RunStartupPlugins(t.session, 101);
    const QStringList made = QDir(t.installation.path(QStringLiteral("backup"))).entryList(QDir::Files);
    ASSERT_EQ(made.size(), 1) << made.join(u' ').toStdString();
    EXPECT_TRUE(made.at(0).endsWith(u'-' + QDate::currentDate().toString(QStringLiteral("yyyyMMdd")) + QStringLiteral(".db")));
    EXPECT_TRUE(t.entriesOfKind(4).isEmpty()) << t.entriesOfKind(4).join(u'\n').toStdString();
    ASSERT_EQ(t.entriesOfKind(48).size(), 1);
    EXPECT_TRUE(t.entriesOfKind(48).at(0).contains(QStringLiteral("运行插件[数据库每日备份]")));

    // A PostgreSQL installation this machine cannot dump (no pg_dump, or no
    // server there): reported through LastError, start-up goes on.
    t.installation.write(QStringLiteral("pg.Config"),
                         "<configuration><system><caption>t</caption></system>"
                         "<database driver=\"postgres\" host=\"127.0.0.1\" port=\"1\" user=\"nobody\" database=\"jx\"/></configuration>");
    DatabaseBackup pg(t.installation.path(QStringLiteral("pg.Config")), t.installation.folder(), QStringLiteral("jxBackup.DailyBackup"));
    EXPECT_FALSE(pg.Run());
    EXPECT_TRUE(pg.Error().contains(QStringLiteral("pg_dump"))) << pg.Error().toStdString();
    EXPECT_FALSE(QFileInfo::exists(t.installation.path(QStringLiteral("backup/jx-")
                                                       + QDate::currentDate().toString(QStringLiteral("yyyyMMdd")) + QStringLiteral(".sql"))));
}

// Two installations writing into one folder: each makes its own copy of the
// day and removes only its own old copies; copies named the old way (before
// names carried the database) are nobody's to remove.
TEST(DatabaseBackup, InstallationsSharingAFolderKeepTheirOwnCopies)
{
    QTemporaryDir shared;
    const QString folder = shared.path();
    for (const char *old : {"jx-20261120.db", "jx-20261121.db"}) {
        QFile f(QDir(folder).filePath(QString::fromLatin1(old)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("older copy");
    }
    const QString entry = pluginEntry(QStringLiteral("<keep>2</keep><folder>%1</folder>").arg(folder));
    TestInstallation first, second;
    first.writeConfig(entry);
    second.writeConfig(entry);
    DatabaseBackup one(first.configFile(), first.folder(), QStringLiteral("jxBackup.DailyBackup"));
    DatabaseBackup two(second.configFile(), second.folder(), QStringLiteral("jxBackup.DailyBackup"));

    const QDate day(2026, 12, 1);
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(one.Run(day.addDays(i))) << one.Error().toStdString();
    const QString stemOne = ownStem(one);

    // The other database's copy of the same day is not this one's.
    ASSERT_TRUE(two.Run(day.addDays(3))) << two.Error().toStdString();
    EXPECT_FALSE(two.AlreadyDone());
    const QString stemTwo = ownStem(two);
    EXPECT_NE(stemOne, stemTwo);
    for (int i = 4; i < 6; ++i)
        ASSERT_TRUE(two.Run(day.addDays(i))) << two.Error().toStdString();
    ASSERT_TRUE(one.Run(day.addDays(3)));
    EXPECT_TRUE(one.AlreadyDone());

    QStringList expected{QStringLiteral("jx-20261120.db"), QStringLiteral("jx-20261121.db"),
                         stemOne + QStringLiteral("-20261203.db"), stemOne + QStringLiteral("-20261204.db"),
                         stemTwo + QStringLiteral("-20261205.db"), stemTwo + QStringLiteral("-20261206.db")};
    expected.sort();
    EXPECT_EQ(backups(folder), expected);
}

// A keep that is no count of copies falls back to the default, and says so.
TEST(DatabaseBackup, UnusableKeepFallsBackToTheDefaultAndIsLogged)
{
    for (const QString &keep : {QStringLiteral("0"), QStringLiteral("-1"), QStringLiteral("abc"), QStringLiteral("99999999999")}) {
        TestInstallation installation;
        installation.writeConfig(pluginEntry(QStringLiteral("<keep>%1</keep>").arg(keep)));
        DatabaseBackup backup(installation.configFile(), installation.folder(), QStringLiteral("jxBackup.DailyBackup"));
        ASSERT_TRUE(backup.Run(QDate(2026, 12, 1))) << backup.Error().toStdString();
        EXPECT_EQ(backup.Keep(), DatabaseBackup::kDefaultKeep);
        ASSERT_EQ(backup.Notes().size(), 1) << keep.toStdString();
        EXPECT_TRUE(backup.Notes().at(0).contains(keep)) << backup.Notes().at(0).toStdString();
        EXPECT_TRUE(backup.Notes().at(0).contains(QStringLiteral("按默认保留7份"))) << backup.Notes().at(0).toStdString();
    }
    TestInstallation plain;
    plain.writeConfig(pluginEntry(QStringLiteral("<keep>12</keep>")));
    DatabaseBackup backup(plain.configFile(), plain.folder(), QStringLiteral("jxBackup.DailyBackup"));
    ASSERT_TRUE(backup.Run(QDate(2026, 12, 1)));
    EXPECT_EQ(backup.Keep(), 12);
    EXPECT_TRUE(backup.Notes().isEmpty());

    // Through the plug-in at sign-in, the note reaches the log as a warning.
    PluginTestSession t;
    PluginTestSession::registerLibrary(programPath("JXBACKUP_PATH"));
    t.open(pluginEntry(QStringLiteral("<keep>abc</keep>")));
    t.session.CurrentUser()->SetUserName(QStringLiteral("admin"));
    jx::RunStartupPlugins(t.session, 101);
    const QStringList warnings = t.entriesOfKind(4);
    ASSERT_EQ(warnings.size(), 1) << warnings.join(u'\n').toStdString();
    EXPECT_TRUE(warnings.at(0).contains(QStringLiteral("<keep>abc</keep>"))) << warnings.at(0).toStdString();
}

// The engine's refusals reach the operator as the product words them for
// statements: the meaning first, the engine's own text after it.
TEST(DatabaseBackup, EngineFailuresAreWordedWithTheEngineTextAfterThem)
{
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("jx.db"));
    {
        QFile f(source);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(8192, 'x'));
    }
    const auto copied = DatabaseBackup::CopySqlite(source, dir.filePath(QStringLiteral("copy.db")));
    EXPECT_FALSE(copied);
    EXPECT_EQ(copied.error(), QStringLiteral("备份未完成：数据库文件已损坏（file is not a database）"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("jx.db")});

    // The texts a full disk, a read-only file and a failing disk give, extended codes as the engine reports them.
    EXPECT_EQ(StatementFailure::sqliteFailure(SQLITE_FULL, QStringLiteral("database or disk is full")),
              QStringLiteral("磁盘已满，数据没有保存，请腾出磁盘空间后再试（database or disk is full）"));
    EXPECT_EQ(StatementFailure::sqliteFailure(SQLITE_READONLY_DBMOVED, QStringLiteral("attempt to write a readonly database")),
              QStringLiteral("数据库文件是只读的，修改无法保存（attempt to write a readonly database）"));
    EXPECT_EQ(StatementFailure::sqliteFailure(SQLITE_IOERR_WRITE, QStringLiteral("disk I/O error")),
              QStringLiteral("读写数据库文件时出错（disk I/O error）"));
    EXPECT_EQ(StatementFailure::sqliteFailure(SQLITE_CANTOPEN, QStringLiteral("unable to open database file")),
              QStringLiteral("无法打开或写入数据库文件，请检查文件和文件夹的权限（unable to open database file）"));
    EXPECT_EQ(StatementFailure::sqliteFailure(SQLITE_ERROR, QStringLiteral("no such table: t")), QStringLiteral("no such table: t"));
}
