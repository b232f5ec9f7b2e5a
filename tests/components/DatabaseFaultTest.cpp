#include "TestDatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

// A PostgreSQL server of the test's own, so that stopping it disturbs no
// other test. PostgreSQL refuses to run as root: then it runs as postgres.
class PrivateServer
{
public:
    bool start(QString &why)
    {
        const QStringList found = QDir(QStringLiteral("/usr/lib/postgresql")).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        if (found.isEmpty()) {
            why = QStringLiteral("PostgreSQL is not installed");
            return false;
        }
        m_bin = QStringLiteral("/usr/lib/postgresql/%1/bin/").arg(found.last());
        m_port = 56000 + int(QCoreApplication::applicationPid() % 1000);
        if (::geteuid() == 0 && !run(QStringLiteral("/bin/chown"), {QStringLiteral("postgres"), m_dir.path()}, false))
            return fail(why, QStringLiteral("cannot hand the folder to postgres"));
        if (!run(m_bin + QStringLiteral("initdb"), {QStringLiteral("-D"), data(), QStringLiteral("-U"), QStringLiteral("jxtest"),
                                                     QStringLiteral("--auth=trust"), QStringLiteral("-E"), QStringLiteral("UTF8")}))
            return fail(why, QStringLiteral("initdb failed"));
        return resume() || fail(why, QStringLiteral("the server does not start"));
    }
    bool resume()
    {
        return run(m_bin + QStringLiteral("pg_ctl"),
                   {QStringLiteral("-D"), data(), QStringLiteral("-l"), m_dir.filePath(QStringLiteral("log")), QStringLiteral("-w"),
                    QStringLiteral("-o"),
                    QStringLiteral("-c listen_addresses=127.0.0.1 -p %1 -k %2").arg(m_port).arg(m_dir.path()),
                    QStringLiteral("start")});
    }
    bool stop()
    {
        return run(m_bin + QStringLiteral("pg_ctl"), {QStringLiteral("-D"), data(), QStringLiteral("-m"), QStringLiteral("fast"),
                                                       QStringLiteral("-w"), QStringLiteral("stop")});
    }
    ~PrivateServer()
    {
        if (!m_bin.isEmpty())
            stop();
    }
    QString connection() const { return QStringLiteral("host=127.0.0.1;port=%1;user=jxtest;database=postgres").arg(m_port); }

private:
    QString data() const { return m_dir.filePath(QStringLiteral("data")); }
    static bool fail(QString &why, const QString &text)
    {
        why = text;
        return false;
    }
    bool run(const QString &program, const QStringList &args, bool asServerUser = true)
    {
        QProcess p;
        if (asServerUser && ::geteuid() == 0)
            p.start(QStringLiteral("runuser"), QStringList{QStringLiteral("-u"), QStringLiteral("postgres"), QStringLiteral("--"), program} + args);
        else
            p.start(program, args);
        return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    }

    QTemporaryDir m_dir;
    QString m_bin;
    int m_port = 0;
};

int count(Database &db, const QString &table)
{
    const QueryResult r = db.Query(QStringLiteral("select count(*) from ") + table);
    return r.ok() ? r.Value().toInt() : -1;
}

} // namespace

// The server stops in the middle of a session: each statement meanwhile fails
// with its reason in LastError, and once the server is back the same object
// works again without being opened anew.
TEST(DatabaseFaults, PostgresServerStoppingAndComingBack)
{
    PrivateServer server;
    QString why;
    if (!server.start(why))
        GTEST_SKIP() << why.toStdString();
    Database db;
    ASSERT_TRUE(db.OpenDirect(QStringLiteral("postgres"), server.connection())) << db.LastError().Description().toStdString();
    ASSERT_TRUE(db.Execute(QStringLiteral("create table fault_probe (a int)")));
    ASSERT_TRUE(db.Execute(QStringLiteral("insert into fault_probe values (1)")));

    ASSERT_TRUE(server.stop());
    EXPECT_FALSE(db.Execute(QStringLiteral("insert into fault_probe values (2)")));
    EXPECT_FALSE(db.LastError().Description().isEmpty());
    db.ResetError();
    EXPECT_EQ(count(db, QStringLiteral("fault_probe")), -1);
    EXPECT_TRUE(db.LastError().Description().contains(QStringLiteral("断开"))) << db.LastError().Description().toStdString();
    EXPECT_TRUE(db.IsOpen()); // still the session's database, waiting for its server

    ASSERT_TRUE(server.resume());
    db.ResetError();
    EXPECT_TRUE(db.Execute(QStringLiteral("insert into fault_probe values (3)"))) << db.LastError().Description().toStdString();
    EXPECT_EQ(count(db, QStringLiteral("fault_probe")), 2);
}

// Another program holds the write lock: a change waits a bounded time, then
// fails with a clear reason, and succeeds once the other writer is done.
TEST(DatabaseFaults, SqliteLockedByAnotherWriterWaitsThenSaysSo)
{
    TestDatabase t;
    QString why;
    ASSERT_TRUE(t.open(QStringLiteral("sqlite"), why)) << why.toStdString();
    {
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other-writer"));
        other.setDatabaseName(t.db->Properties(QStringLiteral("file")).toString());
        ASSERT_TRUE(other.open());
        QSqlQuery hold(other);
        ASSERT_TRUE(hold.exec(QStringLiteral("begin immediate")));
        ASSERT_TRUE(hold.exec(QStringLiteral("update jx_user set active=1")));
    }
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(t.db->Execute(QStringLiteral("update jx_user set active=0 where username='clerk'")));
    const qint64 waited = clock.elapsed();
    EXPECT_GE(waited, 2000);
    EXPECT_LT(waited, 30000);
    EXPECT_TRUE(t.db->LastError().Description().contains(QStringLiteral("locked"))) << t.db->LastError().Description().toStdString();

    {
        QSqlDatabase other = QSqlDatabase::database(QStringLiteral("other-writer"));
        QSqlQuery done(other);
        ASSERT_TRUE(done.exec(QStringLiteral("commit")));
        done = QSqlQuery();
        other.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("other-writer"));
    t.db->ResetError();
    EXPECT_TRUE(t.db->Execute(QStringLiteral("update jx_user set active=0 where username='clerk'")))
        << t.db->LastError().Description().toStdString();
}

// A damaged database file gives a clear message, never a crash: wholly
// foreign bytes at opening, damaged pages at the first statement that reads them.
TEST(DatabaseFaults, CorruptSqliteFileIsReportedClearly)
{
    QTemporaryDir dir;
    const QString junk = dir.filePath(QStringLiteral("junk.db"));
    {
        QFile f(junk);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(64 * 1024, '\x5a'));
    }
    Database db;
    EXPECT_FALSE(db.OpenDirect(QStringLiteral("sqlite"), junk));
    EXPECT_TRUE(db.LastError().Description().contains(QStringLiteral("不是有效的数据库文件")))
        << db.LastError().Description().toStdString();

    QString damagedPath;
    {
        TestDatabase t;
        QString why;
        ASSERT_TRUE(t.open(QStringLiteral("sqlite"), why)) << why.toStdString();
        const QString file = t.db->Properties(QStringLiteral("file")).toString();
        t.db->Close();
        damagedPath = dir.filePath(QStringLiteral("damaged.db"));
        ASSERT_TRUE(QFile::copy(file, damagedPath));
    }
    {
        QFile f(damagedPath);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        const qint64 size = f.size();
        ASSERT_GT(size, 8192);
        // Everything after the first page (the schema) overwritten.
        f.seek(4096);
        f.write(QByteArray(int(size - 4096), '\xa5'));
    }
    Database damaged;
    if (!damaged.OpenDirect(QStringLiteral("sqlite"), damagedPath)) {
        EXPECT_FALSE(damaged.LastError().Description().isEmpty());
        return;
    }
    const QueryResult r = damaged.Query(QStringLiteral("select username from jx_user"));
    EXPECT_FALSE(r.ok());
    EXPECT_FALSE(damaged.LastError().Description().isEmpty());
}
