#include "TestDatabase.h"

#include "components/data/QueryResult.h"
#include "components/data/ReadOnlyStatement.h"

#include <gtest/gtest.h>

// What a definition may hold: reads pass, anything that writes, locks or runs
// a second statement is refused, whatever its letter case, and words inside
// literals and comments do not count.
TEST(ReadOnlyStatement, TellsReadsFromWritesByTheirCode)
{
    const auto read = ReadOnlyStatement::allows("select * from fy_house where memo='delete; drop' -- update\n order by id");
    EXPECT_TRUE(read) << read.error().toStdString();
    EXPECT_TRUE(ReadOnlyStatement::allows("  WITH t AS (select id from gj_follow) SELECT count(*) FROM t;"));
    EXPECT_TRUE(ReadOnlyStatement::allows("select \"update\" from x /* insert */"));
    EXPECT_TRUE(ReadOnlyStatement::allows("select deleted, updated_at from x")); // words, not parts of words

    const auto deletes = ReadOnlyStatement::allows("delete from gj_follow");
    EXPECT_FALSE(deletes);
    EXPECT_EQ(deletes.error(), QStringLiteral("只能执行查询语句（select）"));
    const auto two = ReadOnlyStatement::allows("select 1; delete from gj_follow");
    EXPECT_FALSE(two);
    EXPECT_EQ(two.error(), QStringLiteral("只能执行一条查询语句"));
    const auto inside = ReadOnlyStatement::allows("with d as (DELETE from gj_follow returning id) select count(*) from d");
    EXPECT_FALSE(inside);
    EXPECT_EQ(inside.error(), QStringLiteral("查询语句里不能有“delete”：这里只能读取数据"));
    EXPECT_FALSE(ReadOnlyStatement::allows("select * into copy_of_house from fy_house"));
    EXPECT_FALSE(ReadOnlyStatement::allows("select * from fy_house for update"));
    EXPECT_FALSE(ReadOnlyStatement::allows("select 'it''s' ; update x set a=1"));
}

class ReadOnlyQueries : public ::testing::TestWithParam<const char *>
{
protected:
    void SetUp() override
    {
        if (QString::fromLatin1(GetParam()) == u"postgres" && !TestDatabase::postgresAvailable())
            GTEST_SKIP() << "JX_TEST_PG not set";
        QString why;
        ASSERT_TRUE(t.open(QString::fromLatin1(GetParam()), why)) << why.toStdString();
        ASSERT_TRUE(t.db->Execute("create table notes (id integer primary key, body varchar(20))"));
        ASSERT_TRUE(t.db->Execute("insert into notes values (1, 'a'), (2, 'b')"));
    }
    int count() { return t.db->Query("select count(*) from notes").Value().toInt(); }
    TestDatabase t;
};

TEST_P(ReadOnlyQueries, AStatementThatWouldWriteIsRefusedAndChangesNothing)
{
    const QueryResult read = t.db->ReadParams("select body from notes where id=?", {2});
    ASSERT_TRUE(read.ok()) << t.db->LastError().Description().toStdString();
    EXPECT_EQ(read.Value().toString(), "b");

    EXPECT_FALSE(t.db->ReadParams("delete from notes", {}).ok());
    EXPECT_TRUE(t.db->LastError().Description().contains(QStringLiteral("只能执行查询语句"))) << t.db->LastError().Description().toStdString();
    t.db->ResetError();
    EXPECT_EQ(count(), 2);

    // Inside a transaction of the caller's the text decides, and the
    // transaction goes on unharmed.
    ASSERT_TRUE(t.db->BeginTrans());
    EXPECT_FALSE(t.db->ReadParams("with gone as (delete from notes returning id) select count(*) from gone", {}).ok());
    t.db->ResetError();
    EXPECT_TRUE(t.db->ReadParams("select count(*) from notes", {}).ok());
    ASSERT_TRUE(t.db->CommitTrans());
    EXPECT_EQ(count(), 2);
    // Afterwards the connection writes as before.
    EXPECT_TRUE(t.db->Execute("insert into notes values (3, 'c')"));
    EXPECT_EQ(count(), 3);
}

INSTANTIATE_TEST_SUITE_P(Engines, ReadOnlyQueries, ::testing::Values("sqlite", "postgres"));
