#include "TestDatabase.h"

#include "components/data/StatementFailure.h"

#include <gtest/gtest.h>

// The values a statement gives its columns, read back from its text and
// bound values: placeholders in order across rows, literals as their text,
// the where clause's placeholders not taken for a column.
TEST(StatementFailure, AssignedValuesFollowTheStatement)
{
    QString table;
    auto a = StatementFailure::assignments("INSERT INTO fy_house (id, \"community\", note) VALUES (?, 'it''s', ?), (?, ?, lower(?))",
                                           {1, "first", 2, "second", "x"}, &table);
    EXPECT_EQ(table, "fy_house");
    ASSERT_EQ(a.size(), 6);
    EXPECT_EQ(a[1].column, "community");
    EXPECT_EQ(a[1].value.toString(), "it's");
    EXPECT_EQ(a[2].value.toString(), "first");
    EXPECT_EQ(a[4].value.toString(), "second");
    EXPECT_TRUE(a[5].value.isNull()); // an expression is not the stored value

    a = StatementFailure::assignments("update kh_customer set phone=coalesce(?, phone), name=? where id=? and name<>'a, b'",
                                      {"123", "张三", 7}, &table);
    EXPECT_EQ(table, "kh_customer");
    ASSERT_EQ(a.size(), 2);
    EXPECT_EQ(a[1].column, "name");
    EXPECT_EQ(a[1].value.toString(), QStringLiteral("张三"));
    EXPECT_TRUE(StatementFailure::assignments("select * from t where a=?", {1}, &table).isEmpty());
}

// The column named is the one over its own limit, not merely the first
// value longer than the limit the server reports.
TEST(StatementFailure, TooLongNamesTheColumnOverItsOwnLimit)
{
    const QList<StatementFailure::Assignment> assigned{
        {"remark", QString(150, u'备')}, {"community", QString(120, u'小')}, {"id", 5}};
    const StatementFailure::ColumnLimits limits{{"remark", {200}}, {"community", {100}}};
    EXPECT_EQ(StatementFailure::tooLong(assigned, limits, 100), QStringLiteral("“community”的内容太长：最多 100 个字符"));
    EXPECT_EQ(StatementFailure::tooLong(assigned, {}, 100), QStringLiteral("“remark”的内容太长：最多 100 个字符"));
    EXPECT_EQ(StatementFailure::tooLong({}, limits, 100), QStringLiteral("内容太长：最多 100 个字符"));
}

namespace {
class DatabaseMessages : public ::testing::TestWithParam<const char *>
{
protected:
    void SetUp() override
    {
        if (engine() == u"postgres" && !TestDatabase::postgresAvailable())
            GTEST_SKIP() << "JX_TEST_PG not set";
        QString why;
        ASSERT_TRUE(t.open(engine(), why)) << why.toStdString();
    }
    QString engine() const { return QString::fromLatin1(GetParam()); }
    QString error() const { return t.db->LastError().Description(); }
    int count(const QString &sql) { return t.db->Query(sql).Value().toInt(); }
    TestDatabase t;
};
} // namespace

TEST_P(DatabaseMessages, DuplicateValueIsSaidPlainlyAndStoresNothing)
{
    const int before = count("select count(*) from jx_user");
    EXPECT_FALSE(t.db->ExecuteParams("insert into jx_user (usercode, username) values (?, ?)", {"0100", "admin"}));
    EXPECT_TRUE(error().contains(QStringLiteral("已存在相同的值，不能重复"))) << error().toStdString();
    EXPECT_TRUE(error().contains("username")) << error().toStdString();
    EXPECT_FALSE(error().contains(QStringLiteral("断开"))) << error().toStdString();
    t.db->ResetError();

    // Inside a transaction as well; after the rollback the connection works on.
    ASSERT_TRUE(t.db->BeginTrans());
    EXPECT_EQ(t.db->ExecuteCount("insert into jx_user (usercode, username) values ('0001', 'another')", {}), -1);
    EXPECT_TRUE(error().contains(QStringLiteral("已存在相同的值"))) << error().toStdString();
    EXPECT_FALSE(error().contains(QStringLiteral("断开"))) << error().toStdString();
    EXPECT_TRUE(t.db->RollbackTrans()) << error().toStdString();
    t.db->ResetError();
    EXPECT_EQ(count("select count(*) from jx_user"), before);
    EXPECT_TRUE(error().isEmpty()) << error().toStdString();
}

// Foreign keys hold on both engines: an orphan is refused, a record still
// referenced stays, and a connection opened anew enforces them too.
TEST_P(DatabaseMessages, ForeignKeysAreEnforced)
{
    ASSERT_TRUE(t.db->Execute("create table fk_owner (code varchar(10) not null primary key)"));
    ASSERT_TRUE(t.db->Execute("create table fk_item (id integer not null primary key, owner varchar(10) references fk_owner (code))"));
    ASSERT_TRUE(t.db->Execute("insert into fk_owner (code) values ('A')"));
    EXPECT_TRUE(t.db->ExecuteParams("insert into fk_item (id, owner) values (?, ?)", {1, "A"})) << error().toStdString();
    EXPECT_FALSE(t.db->ExecuteParams("insert into fk_item (id, owner) values (?, ?)", {2, "nobody"}));
    EXPECT_TRUE(error().contains(QStringLiteral("引用的记录不存在"))) << error().toStdString();
    t.db->ResetError();
    EXPECT_FALSE(t.db->Execute("delete from fk_owner where code='A'"));
    EXPECT_TRUE(error().contains(QStringLiteral("仍被其他记录引用"))) << error().toStdString();
    t.db->ResetError();
    EXPECT_EQ(count("select count(*) from fk_item"), 1);
    EXPECT_EQ(count("select count(*) from fk_owner"), 1);

    if (engine() == u"sqlite") {
        Database again;
        ASSERT_TRUE(again.OpenDirect("sqlite", t.db->Properties("file").toString()));
        EXPECT_FALSE(again.Execute("insert into fk_item (id, owner) values (3, 'nobody')"));
        EXPECT_TRUE(again.LastError().Description().contains(QStringLiteral("引用的记录不存在")))
            << again.LastError().Description().toStdString();
        EXPECT_EQ(again.Query("select count(*) from fk_item").Value().toInt(), 1);
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, DatabaseMessages, ::testing::Values("sqlite", "postgres"));

// A value too long for its column inside a transaction: PostgreSQL aborts
// the transaction, which is no lost connection. The message names the column
// and its limit; after the rollback the next statement runs.
TEST(DatabaseMessagesPostgres, TooLongValueNamesTheFieldAndTheConnectionStays)
{
    if (!TestDatabase::postgresAvailable())
        GTEST_SKIP() << "JX_TEST_PG not set";
    TestDatabase t;
    QString why;
    ASSERT_TRUE(t.open("postgres", why)) << why.toStdString();
    Database &db = *t.db;
    ASSERT_TRUE(db.Execute("create table tl_house (id integer not null primary key, remark varchar(200), community varchar(100))"));

    ASSERT_TRUE(db.BeginTrans());
    ASSERT_TRUE(db.ExecuteParams("insert into tl_house (id, remark, community) values (?, ?, ?)", {1, "ok", "ok"}));
    EXPECT_FALSE(db.ExecuteParams("insert into tl_house (id, remark, community) values (?, ?, ?)",
                                  {2, QString(150, u'备'), QString(120, u'小')}));
    const QString text = db.LastError().Description();
    EXPECT_TRUE(text.contains(QStringLiteral("“community”的内容太长：最多 100 个字符"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("断开"))) << text.toStdString();
    EXPECT_TRUE(text.contains("22001")) << text.toStdString(); // the engine's own text follows
    db.ResetError();
    EXPECT_TRUE(db.RollbackTrans()) << db.LastError().Description().toStdString();
    EXPECT_EQ(db.Query("select count(*) from tl_house").Value().toInt(), 0) << db.LastError().Description().toStdString();
    EXPECT_TRUE(db.Execute("insert into tl_house (id, community) values (3, 'fine')")) << db.LastError().Description().toStdString();

    // A change outside a transaction, by update, counts its placeholders the same way.
    EXPECT_EQ(db.ExecuteCount("update tl_house set remark=?, community=? where id=?", {"short", QString(101, u'x'), 3}), -1);
    EXPECT_TRUE(db.LastError().Description().contains(QStringLiteral("“community”的内容太长：最多 100 个字符")))
        << db.LastError().Description().toStdString();
    db.ResetError();
    EXPECT_EQ(db.Query("select community from tl_house where id=3").Value().toString(), "fine");
}
