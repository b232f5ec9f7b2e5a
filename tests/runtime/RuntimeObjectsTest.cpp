#include "components/context/AppContext.h"
#include "components/context/CurrentUser.h"
#include "components/data/Database.h"
#include "console/config/clsConfig.h"
#include "platform/com/Bstr.h"
#include "platform/com/ErrorInfo.h"
#include "platform/com/LateBound.h"

#include <QCoreApplication>
#include <QFile>
#include <QLibrary>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include "ProgramPaths.h"

namespace {

QString readDemo(const char *name)
{
    QFile f(programPath("JX_DEMO_DIR") + QStringLiteral("/") + QString::fromLatin1(name));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// A product installation in a temporary folder: configuration file and a
// SQLite database loaded with the demo schema and seed.
class Installation : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        {
            Database loader;
            QFile(dir.filePath(QStringLiteral("jx.db"))).open(QIODevice::WriteOnly);
            ASSERT_TRUE(loader.OpenDirect(QStringLiteral("sqlite"), dir.filePath(QStringLiteral("jx.db"))));
            ASSERT_TRUE(loader.ExecuteScript(readDemo("schema.sql")) && loader.ExecuteScript(readDemo("seed.sql")))
                << loader.LastError().Description().toStdString();
        }
        QFile cfg(dir.filePath(QStringLiteral("JxTest.exe.Config")));
        ASSERT_TRUE(cfg.open(QIODevice::WriteOnly));
        cfg.write("<configuration><system><caption>安居测试</caption><subject>测试主题</subject></system>"
                  "<database driver=\"sqlite\" file=\"jx.db\"/></configuration>");
        cfg.close();

        config = com::ComPtr<jx::clsConfig>::adopt(new jx::clsConfig());
        ASSERT_TRUE(config->Init(cfg.fileName()));
        db = com::ComPtr<Database>::adopt(new Database());
        ASSERT_TRUE(db->Open(cfg.fileName(), true)) << db->LastError().Description().toStdString();
        context = com::ComPtr<AppContext>::adopt(new AppContext());
        ASSERT_TRUE(context->Attach(db.get(), 0)) << context->LastError().Description().toStdString();
        user = com::ComPtr<CurrentUser>::adopt(new CurrentUser(context.get()));
        context->Environment().SetAppPath(dir.path());
    }

    QTemporaryDir dir;
    com::ComPtr<jx::clsConfig> config;
    com::ComPtr<Database> db;
    com::ComPtr<AppContext> context;
    com::ComPtr<CurrentUser> user;
};

TEST_F(Installation, ALibraryReadsTheRealContextAndConfigurationLateBound)
{
    // The clerk has run rights on 1001 only; the seed gives the demo users no password.
    user->SetUserName(QStringLiteral("clerk"));
    ASSERT_TRUE(user->Login(QString()));
    context->Environment().SetUserName(QStringLiteral("clerk"));

    QLibrary probe(programPath("CONTEXT_PROBE"));
    ASSERT_TRUE(probe.load()) << probe.errorString().toStdString();
    using Probe = HRESULT (*)(IDispatch **, IDispatch **, BSTR, BSTR *);
    auto read = reinterpret_cast<Probe>(probe.resolve("ProbeContext"));
    ASSERT_NE(read, nullptr);

    IDispatch *ctx = context.get();
    IDispatch *cfg = config.get();
    BSTR programs = com::toBstr(QStringLiteral("1001,3001"));
    BSTR report = nullptr;
    const HRESULT hr = read(&ctx, &cfg, programs, &report);
    SysFreeString(programs);
    ASSERT_TRUE(SUCCEEDED(hr)) << com::takeErrorInfo().description.toStdString();
    const QStringList lines = com::fromBstr(report).split(QLatin1Char('\n'));
    SysFreeString(report);

    const QStringList expected = {
        QStringLiteral("AppPath=") + dir.path(),
        QStringLiteral("UserName=clerk"),
        QStringLiteral("cmdok=登录(&D)"),
        QStringLiteral("missing=默认"),
        QStringLiteral("menubm=22222"),
        QStringLiteral("users=admin,clerk,former"),
        QStringLiteral("rights1001=True"),
        QStringLiteral("rights3001=False"),
        QStringLiteral("Caption=安居测试"),
        QStringLiteral("xmlsubject=测试主题"),
    };
    EXPECT_EQ(lines, expected);
}

TEST_F(Installation, PartsKeepTheirOwnerAliveAndErrorsCarryTheProductTexts)
{
    // A library may keep the environment after the console let go of the context.
    com::ComPtr<IDispatch> environment = com::objectOf(com::get(context.get(), QStringLiteral("Environment")));
    com::ComPtr<IDispatch> recordset = com::objectOf(com::getPath(
        com::objectOf(com::call(db.get(), QStringLiteral("query"), {com::Variant::fromString(QStringLiteral("select keyname from jx_option order by keyname"))})).get(),
        QStringLiteral("Recordset")));
    const com::ComPtr<IDispatch> keptContext(context.get());
    user.reset();
    context.reset();
    db.reset();
    EXPECT_EQ(com::toQVariant(com::get(environment.get(), QStringLiteral("AppPath"))).toString(), dir.path());
    // ... and a kept context still reaches its database.
    EXPECT_EQ(com::toQVariant(com::call(keptContext.get(), QStringLiteral("GetText"),
                                        {com::Variant::fromString(QStringLiteral("main")), com::Variant::fromString(QStringLiteral("/login/cmdok")),
                                         com::Variant::fromString(QString())}))
                  .toString(),
              QStringLiteral("登录(&D)"));

    // Many rows in one call: a fields x rows array.
    const QVector<QVector<QVariant>> cells = com::tableOf(com::call(recordset.get(), QStringLiteral("GetRows"), {com::Variant::fromInt32(2)}));
    ASSERT_EQ(cells.size(), 1);
    EXPECT_EQ(cells[0], (QVector<QVariant>{QStringLiteral("loginusercount"), QStringLiteral("loginuserstyle")}));
    const QVector<QVector<QVariant>> rest = com::tableOf(com::call(recordset.get(), QStringLiteral("GetRows")));
    EXPECT_EQ(rest[0], (QVector<QVariant>{QStringLiteral("menubm"), QStringLiteral("period")}));
    EXPECT_TRUE(com::get(recordset.get(), QStringLiteral("EOF")).boolVal);

    try {
        com::get(environment.get(), QStringLiteral("NoSuchMember"));
        FAIL() << "an unknown member must raise";
    } catch (const com::RuntimeError &e) {
        EXPECT_EQ(e.number(), 438);
        EXPECT_EQ(e.description(), QStringLiteral("对象不支持该属性或方法"));
    }
    try {
        com::call(recordset.get(), QStringLiteral("Fields"), {com::Variant::fromString(QStringLiteral("nosuchfield"))});
        FAIL() << "an unknown field must raise";
    } catch (const com::RuntimeError &e) {
        EXPECT_EQ(e.number(), 3265);
    }
}

TEST_F(Installation, RefusalsComeBackAsFalseWithLastError)
{
    user->SetUserName(QStringLiteral("nobody"));
    EXPECT_FALSE(com::call(user.get(), QStringLiteral("Login"), {com::Variant::fromString(QStringLiteral("x"))}).boolVal);
    // A statement that fails gives an empty result and the reason in LastError.
    const com::ComPtr<IDispatch> result = com::objectOf(
        com::call(db.get(), QStringLiteral("Query"), {com::Variant::fromString(QStringLiteral("select * from no_such_table"))}));
    EXPECT_TRUE(com::getPath(result.get(), QStringLiteral("Recordset.EOF")).boolVal);
    EXPECT_FALSE(com::toQVariant(com::getPath(db.get(), QStringLiteral("LastError.Description"))).toString().isEmpty());
    // Properties("driver") is Properties.Item("driver"), looked up without regard to case.
    const com::ComPtr<IDispatch> driver = com::objectOf(
        com::call(db.get(), QStringLiteral("Properties"), {com::Variant::fromString(QStringLiteral("Driver"))}));
    EXPECT_EQ(com::toQVariant(com::get(driver.get(), QStringLiteral("Value"))).toString(), QStringLiteral("sqlite"));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
