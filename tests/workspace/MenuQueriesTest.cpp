#include "console/workspace/CommandLineArgs.h"
#include "console/workspace/MenuQueries.h"

#include "TestDatabase.h"
#include "components/data/QueryResult.h"
#include "components/data/Recordset.h"
#include "platform/MessageBox.h"
#include "platform/Numeric.h"

#include <gtest/gtest.h>

using jx::MenuQueries;

namespace {

QStringList column(Database &db, const QString &sql, const char *field)
{
    Recordset rs = db.Query(sql, 1).Recordset();
    EXPECT_TRUE(db.LastError().Description().isEmpty()) << db.LastError().Description().toStdString();
    QStringList out;
    for (; !rs.Eof(); rs.MoveNext())
        out << jx::trimBlanks(jx::toText(rs.Fields(QLatin1String(field))));
    return out;
}

} // namespace

TEST(MenuQueriesTest, StatementsAreSentAsTheMenuTablesExpect)
{
    EXPECT_EQ(MenuQueries::Q1(QStringLiteral("3")),
              QStringLiteral(" SELECT menucode,systemcatalog,xt_menu.systemcode FROM xt_menu INNER JOIN xt_mode ON "
                             "xt_menu.systemcode=xt_mode.systemcode  WHERE (menucode in (select left(parent,3) from "
                             "xt_menu) or menucode in(select menucode from xt_menu where parent='' and menuismx=1)) "
                             "ORDER BY menuorder"));
    EXPECT_TRUE(MenuQueries::Q1(QString()).contains(QStringLiteral("left(parent,2)")));
    EXPECT_TRUE(MenuQueries::Q1(QStringLiteral("x22")).contains(QStringLiteral("left(parent,0)")));
    EXPECT_TRUE(MenuQueries::Q8(MenuQueries::programNumber(QStringLiteral("7"))).endsWith(QStringLiteral("progID=7")));
    EXPECT_TRUE(MenuQueries::Q8(MenuQueries::programNumber(QString())).endsWith(QStringLiteral("progID=0")));
    EXPECT_EQ(MenuQueries::programNumber(QStringLiteral("12a")), 12);
    EXPECT_EQ(MenuQueries::programNumber(QStringLiteral("abc")), 0);
    EXPECT_EQ(MenuQueries::Q2(QStringLiteral("a'b")),
              QStringLiteral(" SELECT menucode ,menuname,systemcode,menuIsMajor,parent,menuorder FROM xt_menu WHERE "
                             "((menucode in (select parent from xt_menu) and menuismx=0) or menulevel=1) and "
                             "menuIsMajor=1 and systemcode in(select systemcode from xt_mode where "
                             "systemcatalog='a''b') ORDER BY parent,menuorder"));
    EXPECT_EQ(MenuQueries::Q11(QStringLiteral("01")),
              QStringLiteral("SELECT menucode ,menuname FROM xt_menu A WHERE inActive <> 1 and menuismx=1 and "
                             "menuIsMajor=1 and MenuType='报表' and menucode like '01%' ORDER BY parent,menuorder"));
    EXPECT_EQ(MenuQueries::Q9(1003), QStringLiteral("SELECT progCommandLine From xt_objects Where ProgID=1003"));
}

TEST(MenuQueriesTest, CommandLinesInBothSpellings)
{
    jx::CommandLineArgs args;
    args.Parse(QStringLiteral("/s /w12000 /h8000"));
    EXPECT_TRUE(args.Item(QStringLiteral("S")).Exists);
    EXPECT_EQ(args.Item(QStringLiteral("w")).Value, QStringLiteral("12000"));
    EXPECT_EQ(args.Item(QStringLiteral("h")).Value, QStringLiteral("8000"));
    EXPECT_FALSE(args.Item(QStringLiteral("l")).Exists);
    args.Parse(QStringLiteral("s w=9000  -H:6000 /zz9 123 frmGfzc"));
    EXPECT_TRUE(args.Item(QStringLiteral("s")).Exists);
    EXPECT_EQ(args.Item(QStringLiteral("w")).Value, QStringLiteral("9000"));
    EXPECT_EQ(args.Item(QStringLiteral("h")).Value, QStringLiteral("6000"));
    EXPECT_EQ(args.Item(QStringLiteral("zz")).Value, QStringLiteral("9"));
    EXPECT_TRUE(args.Item(QStringLiteral("frmgfzc")).Exists);
    // A new line replaces the old one.
    args.Parse(QString());
    EXPECT_FALSE(args.Item(QStringLiteral("s")).Exists);
}

class MenuQueriesOnEngine : public ::testing::TestWithParam<const char *>
{
};

TEST_P(MenuQueriesOnEngine, EveryStatementSelectsItsRowsAlsoWithQuotesInValues)
{
    const QString engine = QString::fromLatin1(GetParam());
    if (engine == u"postgres" && !TestDatabase::postgresAvailable())
        GTEST_SKIP() << "JX_TEST_PG not set";
    TestDatabase t;
    QString why;
    ASSERT_TRUE(t.open(engine, why)) << why.toStdString();
    Database &db = *t.db;
    // A group and a menu code holding quotes, plus their entries and icon.
    for (const char *sql : {
             "INSERT INTO xt_mode (systemcode, systemname, systemcatalog) VALUES ('Q''1', 'q', 'O''Brien组')",
             "INSERT INTO xt_menu VALUES ('''7', '引号目录', 'Q''1', '', 1, 7, 0, 1, 0, 0, 0, '')",
             "INSERT INTO xt_menu VALUES ('''701', '引号报表', 'Q''1', '''7', 2, 1, 1, 1, 101, 7001, 0, '报表')",
             "INSERT INTO xt_objects VALUES (7001, '引号报表', 'JxEdit.oReport', '/s', 'Q''1')",
             "INSERT INTO xt_menuPilot (type, menuCode, filename, iscompress, contents, filesize) VALUES (1, '''7', 'q.gif', 0, NULL, 0)",
         })
        ASSERT_TRUE(db.Execute(QString::fromUtf8(sql))) << db.LastError().Description().toStdString();

    // Q1: groups' first entries in menu order, with the top-level detail entry 06.
    EXPECT_EQ(column(db, MenuQueries::Q1(QString()), "menucode"),
              (QStringList{"01", "02", "03", "04", "05", "06", "'7"}));
    EXPECT_EQ(column(db, MenuQueries::Q1(QString()), "systemcatalog").last(), QStringLiteral("O'Brien组"));
    // Q2: directories and top-level entries of one group.
    EXPECT_EQ(column(db, MenuQueries::Q2(QStringLiteral("客源")), "menucode"), (QStringList{"02", "0204"}));
    EXPECT_EQ(column(db, MenuQueries::Q2(QStringLiteral("系统")), "menucode"), (QStringList{"04", "05", "06"}));
    EXPECT_EQ(column(db, MenuQueries::Q2(QStringLiteral("O'Brien组")), "menucode"), (QStringList{"'7"}));
    EXPECT_EQ(column(db, MenuQueries::Q3(1, QStringLiteral("'7")), "filename"), (QStringList{"q.gif"}));
    EXPECT_TRUE(column(db, MenuQueries::Q4(QStringLiteral("'7")), "filename").isEmpty());
    EXPECT_EQ(column(db, MenuQueries::Q5(QStringLiteral("'701")), "menuName"), (QStringList{"引号报表"}));
    EXPECT_EQ(column(db, MenuQueries::Q6(QStringLiteral("'701")), "menucode"), (QStringList{"'701"}));
    EXPECT_EQ(column(db, MenuQueries::Q7(QStringLiteral("'701")), "progID"), (QStringList{"7001"}));
    EXPECT_EQ(column(db, MenuQueries::Q8(2003), "menuname"), (QStringList{"客源统计表"}));
    EXPECT_EQ(jx::toText(db.Query(MenuQueries::Q9(1003), 1).Value()), QStringLiteral("/s /w12000 /h8000"));
    EXPECT_EQ(jx::toText(db.Query(MenuQueries::Q10(7001), 1).Value()), QStringLiteral("Q'1"));
    // Q11: active major reports below a directory, never another directory's.
    EXPECT_EQ(column(db, MenuQueries::Q11(QStringLiteral("02")), "menucode"), (QStringList{"0203", "020402"}));
    EXPECT_EQ(column(db, MenuQueries::Q11(QStringLiteral("'7")), "menuname"), (QStringList{"引号报表"}));
    EXPECT_TRUE(column(db, MenuQueries::Q11(QStringLiteral("05")), "menucode").isEmpty());
    // A directory whose code holds pattern characters shows its own reports only.
    for (const char *sql : {
             "INSERT INTO xt_menu VALUES ('0_', '通配目录', 'Q''1', '', 1, 8, 0, 1, 0, 0, 0, '')",
             "INSERT INTO xt_menu VALUES ('0_01', '通配报表', 'Q''1', '0_', 2, 1, 1, 1, 101, 7001, 0, '报表')",
             "INSERT INTO xt_menu VALUES ('1!_%01', '叹号报表', 'Q''1', '0_', 2, 2, 1, 1, 101, 7001, 0, '报表')",
         })
        ASSERT_TRUE(db.Execute(QString::fromUtf8(sql))) << db.LastError().Description().toStdString();
    EXPECT_EQ(column(db, MenuQueries::Q11(QStringLiteral("0_")), "menucode"), (QStringList{"0_01"}));
    EXPECT_TRUE(column(db, MenuQueries::Q11(QStringLiteral("%")), "menucode").isEmpty());
    EXPECT_EQ(column(db, MenuQueries::Q11(QStringLiteral("1!_%")), "menucode"), (QStringList{"1!_%01"}));
    EXPECT_TRUE(column(db, MenuQueries::Q11(QStringLiteral("1_")), "menucode").isEmpty());
    // The search box's entries: active ones of known modes, in code order.
    for (const char *sql : {
             "INSERT INTO xt_menu VALUES ('''702', '停用报表', 'Q''1', '''7', 2, 2, 1, 1, 101, 7001, 1, '报表')",
             "INSERT INTO xt_menu VALUES ('''703', '无模块', 'NOMODE', '''7', 2, 3, 1, 1, 101, 7001, 0, '报表')",
         })
        ASSERT_TRUE(db.Execute(QString::fromUtf8(sql))) << db.LastError().Description().toStdString();
    const QStringList searchable = column(db, MenuQueries::searchableEntries(), "menucode");
    EXPECT_TRUE(searchable.contains(QStringLiteral("'701")));
    EXPECT_TRUE(searchable.contains(QStringLiteral("0201")));
    EXPECT_FALSE(searchable.contains(QStringLiteral("'702")));
    EXPECT_FALSE(searchable.contains(QStringLiteral("'703")));
    QStringList sorted = searchable;
    sorted.sort();
    EXPECT_EQ(searchable, sorted);
    // A quote in a value no longer ends the literal: nothing else is selected.
    EXPECT_TRUE(column(db, MenuQueries::Q5(QStringLiteral("x' or '1'='1")), "menuName").isEmpty());
}

TEST_P(MenuQueriesOnEngine, LookupsReadTheEntryOrTellWhyThereIsNone)
{
    const QString engine = QString::fromLatin1(GetParam());
    if (engine == u"postgres" && !TestDatabase::postgresAvailable())
        GTEST_SKIP() << "JX_TEST_PG not set";
    TestDatabase t;
    QString why;
    ASSERT_TRUE(t.open(engine, why)) << why.toStdString();
    Database &db = *t.db;
    jx::ScopedMessageBoxRecorder boxes;

    // By code with the code selected, by code without it, by program number: one entry each way.
    const std::optional<jx::MenuEntry> byCode = MenuQueries::lookupEntry(db, MenuQueries::Q6(QStringLiteral("0203")));
    ASSERT_TRUE(byCode);
    EXPECT_EQ(byCode->programNumber, 2003);
    EXPECT_EQ(byCode->kind, 101);
    EXPECT_EQ(byCode->name, QStringLiteral("客源统计表"));
    EXPECT_EQ(byCode->systemCode, QStringLiteral("KY"));
    EXPECT_EQ(byCode->code, QStringLiteral("0203"));
    const std::optional<jx::MenuEntry> node = MenuQueries::lookupEntry(db, MenuQueries::Q7(QStringLiteral("0203")));
    ASSERT_TRUE(node);
    EXPECT_EQ(node->programNumber, 2003);
    EXPECT_TRUE(node->code.isEmpty());
    const std::optional<jx::MenuEntry> byNumber = MenuQueries::lookupEntry(db, MenuQueries::Q8(2003));
    ASSERT_TRUE(byNumber);
    EXPECT_EQ(byNumber->name, QStringLiteral("客源统计表"));
    EXPECT_EQ(byNumber->kind, 101);
    EXPECT_EQ(boxes.count(), 0);

    // None found: the operator is told, in the caller's words when it has some.
    EXPECT_FALSE(MenuQueries::lookupEntry(db, MenuQueries::Q8(424242)));
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().text, QStringLiteral("当前菜单不存在！"));
    EXPECT_FALSE(MenuQueries::lookupEntry(db, MenuQueries::Q5(QStringLiteral("99")), QStringLiteral("当前指定的功能（99）并不存在！")));
    EXPECT_EQ(boxes.last().text, QStringLiteral("当前指定的功能（99）并不存在！"));
    // A statement that fails is no missing entry: the database's reason is shown.
    EXPECT_FALSE(MenuQueries::lookupEntry(db, QStringLiteral("select menucatalog from no_such_table")));
    ASSERT_EQ(boxes.count(), 3);
    EXPECT_NE(boxes.last().text, QStringLiteral("当前菜单不存在！"));
    EXPECT_FALSE(boxes.last().text.isEmpty());
    EXPECT_TRUE(db.LastError().Description().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Engines, MenuQueriesOnEngine, ::testing::Values("sqlite", "postgres"));
