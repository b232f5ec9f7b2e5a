#include "FileModesEnforced.h"
#include "PrivatePgServer.h"
#include "TestDatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

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
    PrivatePgServer server;
    QString why;
    if (!server.start(why))
        GTEST_SKIP() << why.toStdString();
    Database db;
    ASSERT_TRUE(db.OpenDirect(QStringLiteral("postgres"), server.connection())) << db.LastError().Description().toStdString();
    ASSERT_TRUE(db.Execute(QStringLiteral("create table fault_probe (a int)")));
    ASSERT_TRUE(db.Execute(QStringLiteral("insert into fault_probe values (1)")));

    ASSERT_TRUE(server.stop());
    EXPECT_FALSE(db.Execute(QStringLiteral("insert into fault_probe values (2)")));
    EXPECT_TRUE(db.LastError().Description().startsWith(QStringLiteral("与数据库服务器的连接已断开")))
        << db.LastError().Description().toStdString();
    db.ResetError();
    EXPECT_EQ(db.ExecuteCount(QStringLiteral("delete from fault_probe"), {}), -1);
    db.ResetError();
    EXPECT_EQ(count(db, QStringLiteral("fault_probe")), -1);
    EXPECT_TRUE(db.LastError().Description().contains(QStringLiteral("断开"))) << db.LastError().Description().toStdString();
    EXPECT_TRUE(db.IsOpen()); // still the session's database, waiting for its server

    ASSERT_TRUE(server.resume());
    db.ResetError();
    EXPECT_TRUE(db.Execute(QStringLiteral("insert into fault_probe values (3)"))) << db.LastError().Description().toStdString();
    EXPECT_EQ(count(db, QStringLiteral("fault_probe")), 2);
    // A restart between two statements. A read finds the connection gone
    // and is sent again on a new one; a change is not (it may have run), so
    // it reports the drop and the next change works.
    ASSERT_TRUE(server.stop());
    ASSERT_TRUE(server.resume());
    db.ResetError();
    EXPECT_EQ(count(db, QStringLiteral("fault_probe")), 2) << db.LastError().Description().toStdString();
    EXPECT_TRUE(db.LastError().Description().isEmpty());
    ASSERT_TRUE(server.stop());
    ASSERT_TRUE(server.resume());
    EXPECT_EQ(db.ExecuteCount(QStringLiteral("delete from fault_probe where a=3"), {}), -1);
    EXPECT_TRUE(db.LastError().Description().contains(QStringLiteral("断开")));
    db.ResetError();
    EXPECT_EQ(db.ExecuteCount(QStringLiteral("delete from fault_probe where a=3"), {}), 1) << db.LastError().Description().toStdString();
    // Inside a transaction nothing goes on after a drop, not even a read:
    // what it did is gone, so its later statements must not be stored
    // alone, and its commit fails. A rollback ends it; then all works again.
    for (const bool commit : {true, false}) {
        ASSERT_TRUE(db.BeginTrans());
        ASSERT_TRUE(db.Execute(QStringLiteral("insert into fault_probe values (4)")));
        ASSERT_TRUE(server.stop());
        ASSERT_TRUE(server.resume());
        EXPECT_EQ(count(db, QStringLiteral("fault_probe")), -1);
        db.ResetError();
        EXPECT_FALSE(db.Execute(QStringLiteral("insert into fault_probe values (5)")));
        EXPECT_TRUE(db.LastError().Description().contains(QStringLiteral("事务已经丢失"))) << db.LastError().Description().toStdString();
        db.ResetError();
        if (commit)
            EXPECT_FALSE(db.CommitTrans());
        else
            EXPECT_TRUE(db.RollbackTrans());
        db.ResetError();
        EXPECT_EQ(count(db, QStringLiteral("fault_probe")), 1) << db.LastError().Description().toStdString();
    }
    // A transaction begun after a restart while idle starts on a new connection.
    ASSERT_TRUE(server.stop());
    ASSERT_TRUE(server.resume());
    ASSERT_TRUE(db.BeginTrans()) << db.LastError().Description().toStdString();
    EXPECT_TRUE(db.Execute(QStringLiteral("insert into fault_probe values (6)")));
    EXPECT_TRUE(db.CommitTrans());
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
    EXPECT_TRUE(t.db->LastError().Description().contains(QStringLiteral("正被其他程序使用"))) << t.db->LastError().Description().toStdString();

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

// A database on a read-only share: it opens and reads, a change is refused
// with a reason the operator understands, and the file is left as it was.
TEST(DatabaseFaults, ReadOnlySqliteReadsAndRefusesChanges)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("share"));
    const QString file = folder + QStringLiteral("/jx.db");
    {
        TestDatabase t;
        QString why;
        ASSERT_TRUE(t.open(QStringLiteral("sqlite"), why)) << why.toStdString();
        t.db->Close();
        ASSERT_TRUE(QDir().mkpath(folder));
        ASSERT_TRUE(QFile::copy(t.db->Properties(QStringLiteral("file")).toString(), file));
    }
    const auto readable = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    const auto enterable = QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
    ASSERT_TRUE(QFile::setPermissions(dir.path(), readable | enterable | QFile::WriteOwner));
    ASSERT_TRUE(QFile::setPermissions(folder, readable | enterable));
    ASSERT_TRUE(QFile::setPermissions(file, readable));
    const auto bytes = [&] {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QByteArray before = bytes();
    {
        FileModesEnforced enforced;
        ASSERT_TRUE(enforced.active());
        Database db;
        ASSERT_TRUE(db.OpenDirect(QStringLiteral("sqlite"), file)) << db.LastError().Description().toStdString();
        const int users = count(db, QStringLiteral("jx_user"));
        EXPECT_GT(users, 0);
        EXPECT_FALSE(db.Execute(QStringLiteral("delete from jx_user")));
        EXPECT_TRUE(db.LastError().Description().contains(QStringLiteral("只读"))) << db.LastError().Description().toStdString();
        db.ResetError();
        EXPECT_EQ(count(db, QStringLiteral("jx_user")), users);
    }
    EXPECT_EQ(bytes(), before);
    QFile::setPermissions(folder, readable | enterable | QFile::WriteOwner);
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
    EXPECT_TRUE(damaged.LastError().Description().contains(QStringLiteral("已损坏"))) << damaged.LastError().Description().toStdString();
}
