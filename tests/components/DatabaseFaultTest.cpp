#include "FileModesEnforced.h"
#include "PrivatePgServer.h"
#include "TestDatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>

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

namespace {

// An SQLite database of one table "notes (id integer primary key, body text)" holding rows.
QString notesDatabase(const QTemporaryDir &dir, const QString &name, int rows)
{
    const QString path = dir.filePath(name);
    QFile(path).open(QIODevice::WriteOnly);
    Database db;
    if (!db.OpenDirect(QStringLiteral("sqlite"), path)
        || !db.Execute(QStringLiteral("create table notes (id integer primary key, body text)")))
        return {};
    for (int i = 0; i < rows; ++i)
        db.ExecuteParams(QStringLiteral("insert into notes (body) values (?)"), {QStringLiteral("行%1").arg(i)});
    return path;
}

} // namespace

// The file under an open connection deleted, then put back, then replaced by
// another copy: the failure names what happened (not "read-only"), and the
// next statement works on the file the path names now.
TEST(DatabaseFaults, DeletedOrReplacedSqliteFileIsNamedAndReopened)
{
    QTemporaryDir dir;
    const QString file = notesDatabase(dir, QStringLiteral("jx.db"), 3);
    const QString spare = notesDatabase(dir, QStringLiteral("spare.db"), 5);
    ASSERT_FALSE(file.isEmpty());
    ASSERT_FALSE(spare.isEmpty());
    Database db;
    ASSERT_TRUE(db.OpenDirect(QStringLiteral("sqlite"), file));
    ASSERT_EQ(count(db, QStringLiteral("notes")), 3);

    ASSERT_TRUE(QFile::remove(file));
    EXPECT_FALSE(db.ExecuteParams(QStringLiteral("insert into notes (body) values (?)"), {QStringLiteral("新的")}));
    const QString gone = db.LastError().Description();
    EXPECT_TRUE(gone.contains(QStringLiteral("数据库文件已被删除或替换"))) << gone.toStdString();
    EXPECT_FALSE(gone.contains(QStringLiteral("只读"))) << gone.toStdString();
    EXPECT_TRUE(db.IsOpen()); // still there to try again
    EXPECT_FALSE(QFileInfo::exists(file)); // and no empty database was made in its place

    // Put back (a new file at the path): the same statement now lands in it.
    ASSERT_TRUE(QFile::copy(spare, file));
    db.ResetError();
    ASSERT_TRUE(db.ExecuteParams(QStringLiteral("insert into notes (body) values (?)"), {QStringLiteral("新的")}))
        << db.LastError().Description().toStdString();
    {
        Database other;
        ASSERT_TRUE(other.OpenDirect(QStringLiteral("sqlite"), file));
        EXPECT_EQ(count(other, QStringLiteral("notes")), 6);
    }

    // Replaced in the middle of a transaction: what it did is gone with the
    // old file, so it cannot go on; after the rollback the new file works.
    const QString third = notesDatabase(dir, QStringLiteral("third.db"), 1);
    ASSERT_TRUE(db.BeginTrans());
    ASSERT_TRUE(db.Execute(QStringLiteral("delete from notes")));
    ASSERT_EQ(::rename(QFile::encodeName(third).constData(), QFile::encodeName(file).constData()), 0);
    EXPECT_FALSE(db.Execute(QStringLiteral("delete from notes")));
    EXPECT_TRUE(db.LastError().Description().contains(QStringLiteral("事务已经丢失"))) << db.LastError().Description().toStdString();
    EXPECT_FALSE(db.CommitTrans());
    EXPECT_TRUE(db.LastError().Description().contains(QStringLiteral("数据库文件已被删除或替换"))) << db.LastError().Description().toStdString();
    db.RollbackTrans();
    db.ResetError();
    EXPECT_EQ(count(db, QStringLiteral("notes")), 1) << db.LastError().Description().toStdString();
}

// A full database (the page limit stands in for a full disk) is worded for
// the operator, on a statement and on a commit alike, and stores nothing.
TEST(DatabaseFaults, FullDatabaseIsWordedAndStoresNothing)
{
    QTemporaryDir dir;
    const QString file = notesDatabase(dir, QStringLiteral("jx.db"), 2);
    ASSERT_FALSE(file.isEmpty());
    Database db;
    ASSERT_TRUE(db.OpenDirect(QStringLiteral("sqlite"), file));
    const int pages = db.Query(QStringLiteral("PRAGMA page_count")).Value().toInt();
    ASSERT_TRUE(db.Query(QStringLiteral("PRAGMA max_page_count = %1").arg(pages)).ok());
    ASSERT_TRUE(db.BeginTrans());
    EXPECT_FALSE(db.ExecuteParams(QStringLiteral("insert into notes (body) values (?)"), {QString(20000, u'满')}));
    const QString full = db.LastError().Description();
    EXPECT_TRUE(full.contains(QStringLiteral("磁盘已满，数据没有保存"))) << full.toStdString();
    ASSERT_TRUE(db.RollbackTrans());
    EXPECT_EQ(count(db, QStringLiteral("notes")), 2);

    // A refusal that comes only at the commit goes through the same wording.
    ASSERT_TRUE(db.Query(QStringLiteral("PRAGMA max_page_count = 100000")).ok());
    ASSERT_TRUE(db.Execute(QStringLiteral("create table tags (id integer primary key, note integer references notes(id))")));
    ASSERT_TRUE(db.BeginTrans());
    ASSERT_TRUE(db.Execute(QStringLiteral("PRAGMA defer_foreign_keys = ON")));
    ASSERT_TRUE(db.Execute(QStringLiteral("insert into tags (note) values (99)")));
    EXPECT_FALSE(db.CommitTrans());
    const QString refused = db.LastError().Description();
    EXPECT_TRUE(refused.startsWith(QStringLiteral("提交事务出错：引用的记录不存在"))) << refused.toStdString();
    db.RollbackTrans();
    EXPECT_EQ(count(db, QStringLiteral("tags")), 0);
}
