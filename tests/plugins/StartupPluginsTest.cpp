#include "PluginTestSession.h"

#include "console/startup/bMain.h"
#include "ProgramPaths.h"

using namespace jxtest;

namespace {

QString entry(const QString &active, const QString &style, const QString &classname)
{
    QString e = QStringLiteral("<plugin active=\"") + active + QStringLiteral("\">");
    if (!style.isNull())
        e += QStringLiteral("<style>") + style + QStringLiteral("</style>");
    return e + QStringLiteral("<classname>") + classname + QStringLiteral("</classname></plugin>");
}

} // namespace

TEST(RunStartupPlugins, FirstStageRunsExactlyTheActiveEntriesOfItsStage)
{
    PluginTestSession t;
    PluginTestSession::registerLibrary(programPath("TP_STARTUP_PATH"));
    t.installation.writeConfig(QStringLiteral("<plugins>")
                               + entry(QStringLiteral("加载 "), QStringLiteral("100"), QStringLiteral("tpStartup.Good"))
                               + entry(QStringLiteral("加载"), QStringLiteral("100.0"), QStringLiteral("tpStartup.Good"))
                               + entry(QStringLiteral("加载"), QStringLiteral("100"), QStringLiteral("tpStartup.Failing"))
                               + entry(QStringLiteral("加载"), QString(), QStringLiteral("tpStartup.Good"))
                               + entry(QStringLiteral("不加载"), QStringLiteral("100"), QStringLiteral("tpStartup.Good"))
                               + entry(QStringLiteral("加载"), QStringLiteral("101"), QStringLiteral("tpStartup.Good"))
                               + QStringLiteral("</plugins>"));
    // As start-up does before the first stage: configuration and log only.
    ASSERT_TRUE(t.session.OpenConfiguration(t.installation.configFile()));
    t.session.SetUpLog();

    jx::RunStartupPlugins(t.session, 100);

    EXPECT_EQ(qEnvironmentVariable("TP_STARTUP"),
              QStringLiteral("Start:Good;Run:Good;Stop:Good;Start:Failing;Run:Failing;Stop:Failing;"));
    // A reported error is logged and the next entry still runs; no record at this stage.
    EXPECT_EQ(t.entriesOfKind(4), QStringList{QStringLiteral("备份目录不可写\r\n\r\n程序继续运行！")});
    EXPECT_TRUE(t.entriesOfKind(48).isEmpty());
    const QStringList settings = qEnvironmentVariable("TP_SETTINGS").split(u'|');
    ASSERT_EQ(settings.size(), 5);
    EXPECT_EQ(settings.at(0), t.session.Config()->ConfigFileName());
    EXPECT_EQ(settings.at(1), t.installation.folder());
    EXPECT_EQ(settings.at(2), QStringLiteral("简衡测试"));
    EXPECT_EQ(settings.at(3), QString()); // no company before the context exists
}

TEST(RunStartupPlugins, SecondStageRecordsTheRunAndAFailedCreationEndsTheStage)
{
    PluginTestSession t;
    PluginTestSession::registerLibrary(programPath("TP_STARTUP_PATH"));
    t.open(QStringLiteral("<plugins>") + entry(QStringLiteral("加载"), QStringLiteral("101"), QStringLiteral("tpStartup.Good"))
           + QStringLiteral("</plugins>"));
    t.session.CurrentUser()->SetUserName(QStringLiteral("admin"));
    jx::RunStartupPlugins(t.session, 101);
    EXPECT_EQ(qEnvironmentVariable("TP_STARTUP"), QStringLiteral("Start:Good;Run:Good;Stop:Good;"));
    ASSERT_EQ(t.entriesOfKind(48).size(), 1);
    EXPECT_TRUE(t.entriesOfKind(48).at(0).contains(QStringLiteral("运行插件[测试Good]"))) << t.entriesOfKind(48).at(0).toStdString();
    EXPECT_EQ(qEnvironmentVariable("TP_SETTINGS").split(u'|').value(3), t.session.AppContext()->Company().DisplayName());

    // A class that does not exist stops the stage: the good entry after it does not run.
    PluginTestSession u;
    PluginTestSession::registerLibrary(programPath("TP_STARTUP_PATH"));
    t.session.Shutdown();
    u.open(QStringLiteral("<plugins>") + entry(QStringLiteral("加载"), QStringLiteral("101"), QStringLiteral("tpStartup.Missing"))
           + entry(QStringLiteral("加载"), QStringLiteral("101"), QStringLiteral("tpStartup.Good")) + QStringLiteral("</plugins>"));
    u.session.CurrentUser()->SetUserName(QStringLiteral("admin"));
    jx::RunStartupPlugins(u.session, 101);
    EXPECT_TRUE(qEnvironmentVariable("TP_STARTUP").isEmpty());
    ASSERT_EQ(u.entriesOfKind(4).size(), 1);
    EXPECT_EQ(u.log.entries.last().source, QStringLiteral("错误："));
    EXPECT_TRUE(u.entriesOfKind(4).at(0).startsWith(QStringLiteral("插件运行时发生错误，原因：")));
    EXPECT_TRUE(u.entriesOfKind(4).at(0).endsWith(QStringLiteral("\r\n\r\n主程序继续运行!")));
    EXPECT_TRUE(u.entriesOfKind(48).isEmpty());
}
