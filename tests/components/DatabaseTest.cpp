#include "TestDatabase.h"

#include "components/data/Database.h"
#include "components/data/DatabaseConfig.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {
QString writeConfig(const QTemporaryDir &dir, const QString &databaseElement)
{
    const QString path = dir.filePath(QStringLiteral("JxMain1.exe.Config"));
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write((QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?><configuration><system/>") + databaseElement
             + QStringLiteral("</configuration>"))
                .toUtf8());
    return path;
}

// All rows of a statement as text, the way the console reads them (Null -> "").
QStringList rowsOf(Database &db, const QString &sql)
{
    QStringList out;
    const QueryResult r = db.Query(sql, 1);
    if (!r.ok())
        return {QStringLiteral("ERROR: ") + db.LastError().Description()};
    Recordset rs = r.Recordset();
    for (; !rs.Eof(); rs.MoveNext()) {
        QStringList cells;
        for (int i = 0; i < rs.fieldCount(); ++i)
            cells << rs.fieldNames().at(i).toLower() + u'=' + rs.Field(i).toString();
        out << cells.join(u'|');
    }
    return out;
}

// Every statement the workspace sends, with the parameters the demo data exercises.
QStringList menuStatements()
{
    const QString q1 = QStringLiteral(
        " SELECT menucode,systemcatalog,xt_menu.systemcode FROM xt_menu INNER JOIN xt_mode ON xt_menu.systemcode=xt_mode.systemcode "
        " WHERE (menucode in (select left(parent,%1) from xt_menu) or menucode in(select menucode from xt_menu where parent='' and menuismx=1)) ORDER BY menuorder");
    const QString q2 = QStringLiteral(
        " SELECT menucode ,menuname,systemcode,menuIsMajor,parent,menuorder FROM xt_menu WHERE ((menucode in (select parent from xt_menu) and menuismx=0) or menulevel=1) and menuIsMajor=1 and systemcode in(select systemcode from xt_mode where systemcatalog='%1') ORDER BY parent,menuorder");
    const QString q11 = QStringLiteral(
        "SELECT menucode ,menuname FROM xt_menu A WHERE inActive <> 1 and menuismx=1 and menuIsMajor=1 and MenuType='报表' and menucode like '%1%' ORDER BY parent,menuorder");
    QStringList s;
    s << q1.arg(2) << q1.arg(3) << q1.arg(0);
    for (const char *g : {"房源", "客源", "交易", "系统", "无此组"})
        s << q2.arg(QString::fromUtf8(g));
    for (const char *c : {"0101", "02", "nothing"}) {
        const QString code = QString::fromLatin1(c);
        s << QStringLiteral("SELECT filename,iscompress,contents FROM xt_menuPilot WHERE type=1 and menuCode='%1'").arg(code)
          << QStringLiteral("SELECT filename,iscompress,contents,filesize FROM xt_menuPilot WHERE type=0 and menuCode='%1'").arg(code)
          << QStringLiteral("select menucatalog,progid,menuname,systemcode from xt_menu where menucode='%1'").arg(code)
          << QStringLiteral("select menucatalog,progID,menuname,systemcode,menucode from xt_menu where menucode='%1'").arg(code)
          << QStringLiteral("select menucatalog,progID,menuname,systemcode from xt_menu where menucode='%1'").arg(code);
    }
    for (const char *c : {"01", "02", "0204", "03", ""})
        s << q11.arg(QString::fromLatin1(c));
    for (int p : {1001, 5001, 100027, 0, 7}) {
        s << QStringLiteral("select menucatalog,progID,menuname,systemcode from xt_menu where progID=%1").arg(p)
          << QStringLiteral("SELECT progCommandLine From xt_objects Where ProgID=%1").arg(p)
          << QStringLiteral("select systemcode from xt_objects where progID=%1").arg(p);
    }
    s << QStringLiteral("select top 1 * from sysdatabase order by zt_code");
    return s;
}

bool addPilotRows(Database &db)
{
    const QByteArray bytes = QByteArray::fromHex("00ff10e5e6") + QByteArray("<pilot/>");
    return db.ExecuteParams(QStringLiteral("insert into xt_menuPilot (type,menuCode,filename,iscompress,contents,filesize) values (?,?,?,?,?,?)"),
                            {0, QStringLiteral("02"), QStringLiteral("kehu.xml"), 0, bytes, bytes.size()})
        && db.ExecuteParams(QStringLiteral("insert into xt_menuPilot (type,menuCode,filename,iscompress,contents,filesize) values (?,?,?,?,?,?)"),
                            {1, QStringLiteral("0101"), QStringLiteral("fy.ico"), 1, QByteArray("\x1f\x8b\x00", 3), 3});
}
} // namespace

TEST(DatabaseDialect, TranslatesSqlServerForms)
{
    EXPECT_EQ(Database::translateSql("select top 1 * from sysdatabase order by zt_code", "sqlite"),
              "select * from sysdatabase order by zt_code LIMIT 1");
    EXPECT_EQ(Database::translateSql("SELECT TOP 5 a FROM t;", "postgres"), "SELECT a FROM t LIMIT 5");
    EXPECT_EQ(Database::translateSql("select left(parent,3) from xt_menu", "sqlite"), "select substr(parent,1,3) from xt_menu");
    EXPECT_EQ(Database::translateSql("select left(left(a,4),2)", "sqlite"), "select substr(substr(a,1,4),1,2)");
    EXPECT_EQ(Database::translateSql("select a from t left join u on 1=1", "sqlite"), "select a from t left join u on 1=1");
    EXPECT_EQ(Database::translateSql("select 'left(x,1) getdate()'", "sqlite"), "select 'left(x,1) getdate()'");
    EXPECT_EQ(Database::translateSql("select getdate()", "sqlite"), "select datetime('now','localtime')");
    EXPECT_EQ(Database::translateSql("select GETDATE ( )", "postgres"), "select LOCALTIMESTAMP(0)");
    EXPECT_EQ(Database::translateSql("select top 1 x", "mssql"), "select top 1 x");
}

TEST(DatabaseOpen, SqliteFromConfigurationRelativeToProgramFolder)
{
    QTemporaryDir dir;
    TestDatabase seedDb;
    QString why;
    ASSERT_TRUE(seedDb.open("sqlite", why)) << why.toStdString();
    seedDb.db->Close();
    QDir(dir.path()).mkpath("data");
    ASSERT_TRUE(QFile::copy(seedDb.dir.filePath("jx.db"), dir.filePath("data/jx.db")));

    Database db;
    ASSERT_TRUE(db.Open(writeConfig(dir, "<database driver=\"sqlite\" file=\"data\\jx.db\"/>"), true))
        << db.LastError().Description().toStdString();
    EXPECT_TRUE(db.IsOpen());
    EXPECT_EQ(db.Properties("driver").toString(), "sqlite");
    EXPECT_EQ(db.Properties("Driver").toString(), "sqlite");
    EXPECT_TRUE(db.Properties("nonsense").isNull());
    EXPECT_EQ(db.Query("select count(*) from xt_menu", 1).Value().toInt(), 41); // the demo menu, 经营概况, the offers and the three viewing entries included
    const QString now = db.Query("select " + db.SqlExpression("getdate()"), 1).Value().toString();
    EXPECT_TRUE(now.startsWith(QDate::currentDate().toString("yyyy-MM-dd"))) << now.toStdString();
}

TEST(DatabaseOpen, FailuresGiveFalseAndDescription)
{
    QTemporaryDir dir;
    Database db;
    EXPECT_FALSE(db.Open(dir.filePath("missing.Config"), true));
    EXPECT_FALSE(db.LastError().Description().isEmpty());
    EXPECT_FALSE(db.IsOpen());

    EXPECT_FALSE(db.Open(writeConfig(dir, ""), true));
    EXPECT_TRUE(db.LastError().Description().contains("/configuration/database"));

    // A missing database file is reported and not created.
    EXPECT_FALSE(db.Open(writeConfig(dir, "<database driver=\"sqlite\" file=\"nothere.db\"/>"), true));
    EXPECT_TRUE(db.LastError().Description().contains("nothere.db"));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("nothere.db")));

    QFile junk(dir.filePath("junk.db"));
    junk.open(QIODevice::WriteOnly);
    junk.write(QByteArray(4096, 'x'));
    junk.close();
    EXPECT_FALSE(db.Open(writeConfig(dir, "<database driver=\"sqlite\" file=\"junk.db\"/>"), true));
    EXPECT_FALSE(db.LastError().Description().isEmpty());
    EXPECT_FALSE(db.IsOpen());

    EXPECT_FALSE(db.Open(writeConfig(dir, "<database driver=\"oracle\"/>"), true));
    EXPECT_TRUE(db.LastError().Description().contains("oracle"));

    // Queries on a closed database fail cleanly.
    const QueryResult r = db.Query("select 1", 1);
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.Value().isNull());
    EXPECT_TRUE(r.Recordset().Eof());
}

// The console, jx-db and the backup read the element through one reader:
// every form a configuration may take must name the same database there.
TEST(DatabaseConfig, ChildElementsDriverNamesAndWindowsPathsNameOneDatabase)
{
    QTemporaryDir dir;
    const auto sqlite = DatabaseConfig::read(writeConfig(dir, "<database><driver>QSQLITE</driver><file> data\\jx.db </file></database>"));
    ASSERT_TRUE(sqlite) << sqlite.error().toStdString();
    EXPECT_TRUE(sqlite->isSqlite());
    EXPECT_EQ(sqlite->file(), QDir(dir.path()).filePath(QStringLiteral("data/jx.db")));

    const auto server = DatabaseConfig::read(writeConfig(dir, "<database driver=\"PostgreSQL\" host=\"db.local\" user=\"jx\" password=\"s\">"
                                                             "<database>agency</database><port>5433</port></database>"));
    ASSERT_TRUE(server) << server.error().toStdString();
    const DatabaseConfig &config = *server;
    EXPECT_EQ(config.engine(), DatabaseConfig::Engine::Postgres);
    EXPECT_EQ(config.server().host, QStringLiteral("db.local"));
    EXPECT_EQ(config.server().port, 5433);
    EXPECT_EQ(config.server().database, QStringLiteral("agency"));
    EXPECT_EQ(config.server().password, QStringLiteral("s"));

    const auto badPort = DatabaseConfig::read(writeConfig(dir, "<database driver=\"postgres\" port=\"54x\"/>"));
    EXPECT_FALSE(badPort);
    EXPECT_EQ(badPort.error(), QStringLiteral("配置文件中的数据库端口不是有效的端口号：54x"));
    const auto noFile = DatabaseConfig::read(writeConfig(dir, "<database driver=\"sqlite\"/>"));
    EXPECT_FALSE(noFile);
    EXPECT_EQ(noFile.error(), QStringLiteral("配置文件中没有指定数据库文件 (file)"));
}

TEST(DatabaseOpen, PostgresRefusingServerGivesFalse)
{
    QTemporaryDir dir;
    Database db;
    // Port 1 on loopback: nothing listens, the connection is refused.
    EXPECT_FALSE(db.Open(writeConfig(dir, "<database driver=\"postgres\" host=\"127.0.0.1\" port=\"1\" user=\"jx\" password=\"x\" database=\"jx\"/>"), true));
    EXPECT_FALSE(db.LastError().Description().isEmpty());
    EXPECT_FALSE(db.IsOpen());
}

class DatabaseEngine : public ::testing::TestWithParam<const char *>
{
protected:
    void SetUp() override
    {
        if (QString::fromLatin1(GetParam()) == u"postgres" && !TestDatabase::postgresAvailable())
            GTEST_SKIP() << "JX_TEST_PG not set";
        QString why;
        ASSERT_TRUE(t.open(QString::fromLatin1(GetParam()), why)) << why.toStdString();
    }
    TestDatabase t;
};

TEST_P(DatabaseEngine, RecordsetReadsFieldsByNameAndNulls)
{
    Database &db = *t.db;
    ASSERT_TRUE(db.Execute("insert into sysdatabase (zt_code, zt_coname) values ('002', NULL)"));
    Recordset rs = db.Query("select zt_code, zt_coname from sysdatabase order by zt_code", 1).Recordset();
    ASSERT_FALSE(rs.Bof());
    ASSERT_FALSE(rs.Eof());
    EXPECT_EQ(rs.Fields("ZT_CODE").toString(), "001");
    EXPECT_FALSE(rs.Fields("ZT_CODE").isNull()); // a text value is no Null, also for late-bound readers
    EXPECT_EQ(rs.Fields("Zt_CoName").toString(), QStringLiteral("安居房产经纪有限公司"));
    EXPECT_TRUE(rs.Fields("no_such_column").isNull());
    rs.MoveNext();
    EXPECT_EQ(rs.Fields("zt_code").toString(), "002");
    EXPECT_TRUE(rs.Fields("zt_coname").isNull());
    rs.MoveNext();
    EXPECT_TRUE(rs.Eof());
    EXPECT_FALSE(rs.Bof());
    rs.MoveNext(); // past the end stays at the end
    EXPECT_TRUE(rs.Eof());
    EXPECT_TRUE(rs.Fields("zt_code").isNull());
    rs.Close();
    EXPECT_FALSE(rs.isOpen());

    Recordset none = db.Query("select * from xt_menu where menucode='zz'", 1).Recordset();
    EXPECT_TRUE(none.Eof());
    EXPECT_TRUE(none.Bof());
}

TEST_P(DatabaseEngine, BadStatementSetsAndResetsError)
{
    Database &db = *t.db;
    const QueryResult r = db.Query("select nothing from nowhere", 1);
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.Recordset().Eof());
    EXPECT_FALSE(db.LastError().Description().isEmpty());
    EXPECT_TRUE(db.ResetError());
    EXPECT_TRUE(db.LastError().Description().isEmpty());
    EXPECT_TRUE(db.IsOpen()); // a failed statement leaves the connection usable
    EXPECT_EQ(db.Query("select count(*) from xt_mode", 1).Value().toInt(), 5);
}

TEST_P(DatabaseEngine, MenuStatementsSelectTheSeededRows)
{
    Database &db = *t.db;
    ASSERT_TRUE(addPilotRows(db)) << db.LastError().Description().toStdString();
    const QStringList groups = rowsOf(db, menuStatements().at(0));
    QStringList codes;
    for (const QString &row : groups)
        codes << row.section(u'|', 0, 0).section(u'=', 1);
    EXPECT_EQ(codes, QStringList({"01", "02", "03", "04", "05", "06"}));

    // Buttons of group 客源: the top entry and its sub-directory.
    const QStringList buttons = rowsOf(db, menuStatements().at(4));
    ASSERT_EQ(buttons.size(), 2) << buttons.join("\n").toStdString();
    EXPECT_TRUE(buttons.at(0).startsWith("menucode=02|"));
    EXPECT_TRUE(buttons.at(1).startsWith("menucode=0204|"));

    // Reports below 02: the active ones only, ordered by parent then order.
    const QStringList reports = rowsOf(db, QStringLiteral(
        "SELECT menucode ,menuname FROM xt_menu A WHERE inActive <> 1 and menuismx=1 and menuIsMajor=1 and MenuType='报表' and menucode like '02%' ORDER BY parent,menuorder"));
    EXPECT_EQ(reports, QStringList({QStringLiteral("menucode=0203|menuname=客源统计表"), QStringLiteral("menucode=020402|menuname=跟进汇总表")}));

    EXPECT_EQ(db.Query("SELECT progCommandLine From xt_objects Where ProgID=5002", 1).Value().toString(), "frmShuifei");
    Recordset pilot = db.Query("SELECT filename,iscompress,contents,filesize FROM xt_menuPilot WHERE type=0 and menuCode='02'", 1).Recordset();
    ASSERT_FALSE(pilot.Eof());
    EXPECT_EQ(pilot.Fields("contents").toByteArray(), QByteArray::fromHex("00ff10e5e6") + QByteArray("<pilot/>"));
    EXPECT_EQ(db.Query("select top 1 * from sysdatabase order by zt_code", 1).Recordset().Fields("zt_fr").toString(), QStringLiteral("张安居"));
}

INSTANTIATE_TEST_SUITE_P(Engines, DatabaseEngine, ::testing::Values("sqlite", "postgres"));

TEST(DatabasePostgres, EveryMenuStatementGivesTheSameRowsAsSqlite)
{
    if (!TestDatabase::postgresAvailable())
        GTEST_SKIP() << "JX_TEST_PG not set";
    TestDatabase lite, pg;
    QString why;
    ASSERT_TRUE(lite.open("sqlite", why)) << why.toStdString();
    ASSERT_TRUE(pg.open("postgres", why)) << why.toStdString();
    ASSERT_TRUE(addPilotRows(*lite.db));
    ASSERT_TRUE(addPilotRows(*pg.db));
    int nonEmpty = 0;
    for (const QString &sql : menuStatements()) {
        const QStringList a = rowsOf(*lite.db, sql);
        const QStringList b = rowsOf(*pg.db, sql);
        EXPECT_EQ(a, b) << sql.toStdString();
        EXPECT_FALSE(!a.isEmpty() && a.first().startsWith("ERROR")) << a.first().toStdString();
        nonEmpty += a.isEmpty() ? 0 : 1;
    }
    EXPECT_GT(nonEmpty, 20); // the comparison must cover real rows, not only empty results
    const QString now = pg.db->Query("select " + pg.db->SqlExpression("getdate()"), 1).Value().toDateTime().toString("yyyy-MM-dd");
    EXPECT_EQ(now, QDate::currentDate().toString("yyyy-MM-dd"));
    EXPECT_EQ(pg.db->Properties("driver").toString(), "postgres");
}

TEST(DatabasePostgres, UnknownDatabaseOnLiveServerGivesFalse)
{
    if (!TestDatabase::postgresAvailable())
        GTEST_SKIP() << "JX_TEST_PG not set";
    QString connection = qEnvironmentVariable("JX_TEST_PG");
    connection.replace(QRegularExpression("database=[^;]*"), "database=no_such_db_here");
    Database db;
    EXPECT_FALSE(db.OpenDirect("postgres", connection));
    EXPECT_TRUE(db.LastError().Description().contains("no_such_db_here")) << db.LastError().Description().toStdString();
    EXPECT_FALSE(db.IsOpen());
}

// Rows handed over one by one or as one block read the same; a short row is
// filled with Null fields, and a copy keeps the rows after the original closes.
TEST(RecordsetRows, BlockAndRowFormsAgreeAndCopiesOutliveClose)
{
    const QStringList columns{QStringLiteral("code"), QStringLiteral("name")};
    Recordset byRows(columns, {{QStringLiteral("001"), QStringLiteral("甲")}, {QStringLiteral("002")}});
    Recordset block(columns, QVector<QVariant>{QStringLiteral("001"), QStringLiteral("甲"), QStringLiteral("002")});
    for (Recordset *rs : {&byRows, &block}) {
        ASSERT_EQ(rs->recordCount(), 2);
        EXPECT_EQ(rs->Fields(QStringLiteral("NAME")).toString(), QStringLiteral("甲"));
        Recordset copy = *rs;
        rs->MoveNext();
        EXPECT_EQ(rs->Field(0).toString(), QStringLiteral("002"));
        EXPECT_TRUE(rs->Fields(QStringLiteral("name")).isNull());
        const QVector<QVector<QVariant>> rest = rs->GetRows();
        ASSERT_EQ(rest.size(), 2);
        EXPECT_EQ(rest[0], QVector<QVariant>{QStringLiteral("002")});
        EXPECT_TRUE(rs->Eof());
        rs->Close();
        // The copy still stands on the first row of its own rows.
        const QVariant &name = copy.Fields(QStringLiteral("name"));
        EXPECT_EQ(name.toString(), QStringLiteral("甲"));
        EXPECT_EQ(copy.GetRows(1)[1], QVector<QVariant>{QStringLiteral("甲")});
    }
    // Names beyond ASCII still match without regard to letter case; lengths must agree.
    const Recordset named({QStringLiteral("Ärger"), QStringLiteral("名称")}, QVector<QVariant>{1, 2});
    EXPECT_EQ(named.fieldIndex(QStringLiteral("äRGER")), 0);
    EXPECT_EQ(named.fieldIndex(QStringLiteral("名称")), 1);
    EXPECT_EQ(named.fieldIndex(QStringLiteral("名")), -1);
    EXPECT_EQ(named.fieldIndex(QStringLiteral("Ärge")), -1);
}
