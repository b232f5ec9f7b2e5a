#include "FakeRuntime.h"

#include "console/config/bCommon.h"
#include "console/dialogs/frmLogin.h"
#include "console/log/Logger.h"
#include "console/startup/bMain.h"
#include "platform/MessageBox.h"
#include "platform/ProgramInfo.h"
#include "platform/SettingsStore.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

class Startup : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        jx::ProgramInfo::setProgramFolder(dir.path());
        jx::SettingsStore::setRootFolder(dir.path() + QStringLiteral("/settings"));
        options.factory = &runtime;
        options.programBaseName = QStringLiteral("JxTest");
    }
    void TearDown() override
    {
        dir.setAutoRemove(!HasFailure());
        if (jx::Globals().mainWindow)
            delete jx::Globals().mainWindow.data();
        if (jx::Globals().splash)
            delete jx::Globals().splash.data();
        jx::Shutdown();
        jx::ProgramInfo::setProgramFolder(QString());
        jx::SettingsStore::setRootFolder(QString());
    }
    void writeConfig(const QString &systemBody)
    {
        QFile f(dir.path() + QStringLiteral("/JxTest.exe.Config"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write((QStringLiteral("<configuration><system><caption>简衡测试</caption>") + systemBody
                 + QStringLiteral("</system></configuration>")).toUtf8());
    }
    void cancelAtLogin()
    {
        options.loginDriver = [](jx::frmLogin &login) { login.CancelRoutine(); };
    }
    void signInAs(const QString &user, const QString &password)
    {
        options.loginDriver = [user, password](jx::frmLogin &login) {
            login.CobUser()->setEditText(user);
            login.Password()->setText(password);
            login.OkRoutine();
            if (login.isVisible())
                login.CancelRoutine(); // a refused sign-in must not leave the test waiting
        };
    }
    QTemporaryDir dir;
    jxtest::FakeRuntime runtime;
    jx::StartupOptions options;
    jx::ScopedMessageBoxRecorder boxes;
};

TEST_F(Startup, MissingConfigurationStopsWithOneBoxNoLogNoDatabase)
{
    EXPECT_FALSE(jx::Main(options));
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().title, QStringLiteral("错误："));
    EXPECT_EQ(boxes.last().style, jx::Critical);
    EXPECT_EQ(boxes.last().text, QStringLiteral("程序错误，初始化参数文件") + dir.path() + QStringLiteral("\\JxTest.exe.Config出错!"));
    EXPECT_TRUE(runtime.w.entries.isEmpty());
    EXPECT_EQ(runtime.w.databasesCreated, 0);
    EXPECT_FALSE(runtime.w.events.contains(QStringLiteral("create sink")));
    EXPECT_EQ(jx::Globals().config, nullptr);
}

TEST_F(Startup, MalformedConfigurationStopsTheSameWay)
{
    QFile f(dir.path() + QStringLiteral("/JxTest.exe.Config"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<configuration><system>");
    f.close();
    EXPECT_FALSE(jx::Main(options));
    EXPECT_EQ(boxes.count(), 1);
    EXPECT_EQ(runtime.w.databasesCreated, 0);
}

TEST_F(Startup, DatabaseThatCannotOpenGivesTwoBoxesAndCleanStop)
{
    writeConfig(QString());
    runtime.w.dbOpens = false;
    runtime.w.dbIsOpen = false;
    EXPECT_FALSE(jx::Main(options));
    ASSERT_EQ(boxes.count(), 2);
    EXPECT_EQ(boxes.boxes()[0].text, runtime.w.dbError);
    EXPECT_EQ(boxes.boxes()[0].style, jx::OKOnly);
    EXPECT_EQ(boxes.boxes()[1].text, runtime.w.dbError);
    EXPECT_EQ(boxes.boxes()[1].style, jx::Critical);
    EXPECT_EQ(boxes.boxes()[1].title, QStringLiteral("错误"));
    EXPECT_TRUE(runtime.w.events.contains(QStringLiteral("release database")));
    EXPECT_TRUE(runtime.w.events.contains(QStringLiteral("release sink")));
    EXPECT_EQ(jx::Globals().database, nullptr);
    EXPECT_EQ(jx::Globals().config, nullptr);
}

TEST_F(Startup, RefusedAttachShowsHintAndStops)
{
    writeConfig(QString());
    runtime.w.attachOk = false;
    EXPECT_FALSE(jx::Main(options));
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().title, QStringLiteral("提示："));
    EXPECT_EQ(boxes.last().style, jx::Exclamation);
    EXPECT_EQ(boxes.last().text, runtime.w.attachError);
    EXPECT_EQ(jx::Globals().appContext, nullptr);
}

TEST_F(Startup, RunTimeErrorReportsStageAndShutsDown)
{
    writeConfig(QString());
    runtime.w.throwOnCreateDatabase = true;
    EXPECT_FALSE(jx::Main(options));
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().title, QStringLiteral("错误:"));
    EXPECT_EQ(boxes.last().text, QStringLiteral("主程序执行过程中发生错误\r\n\r\n正在运行<初始化插件>...;错误原因:ActiveX 部件不能创建对象"));
    EXPECT_EQ(jx::Globals().config, nullptr);
    EXPECT_TRUE(runtime.w.events.contains(QStringLiteral("release sink")));
}

TEST_F(Startup, TemporaryPathEmptyNodeVersusMissingNode)
{
    writeConfig(QStringLiteral("<temporarypath></temporarypath>"));
    cancelAtLogin();
    EXPECT_FALSE(jx::Main(options));
    EXPECT_EQ(runtime.w.env.TempPath, QString());
    EXPECT_EQ(runtime.w.env.AppPath, dir.path());
    EXPECT_EQ(runtime.w.env.Caption, QStringLiteral("简衡测试"));

    jxtest::FakeRuntime second;
    options.factory = &second;
    writeConfig(QString());
    EXPECT_FALSE(jx::Main(options));
    EXPECT_EQ(second.w.env.TempPath, dir.path() + QStringLiteral("\\temp\\"));
    EXPECT_TRUE(second.w.env.ConfigFile.endsWith(QStringLiteral("JxTest.exe.Config")));
}

TEST_F(Startup, MissingThemeFolderIsIgnoredExistingOneLoaded)
{
    writeConfig(QStringLiteral("<settings><theme>blue</theme></settings>"));
    cancelAtLogin();
    EXPECT_FALSE(jx::Main(options));
    EXPECT_TRUE(runtime.w.themeLoads.isEmpty());
    EXPECT_EQ(boxes.count(), 0);

    jxtest::FakeRuntime second;
    options.factory = &second;
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("themes/blue")));
    EXPECT_FALSE(jx::Main(options));
    ASSERT_EQ(second.w.themeLoads.size(), 1);
    EXPECT_EQ(second.w.themeLoads[0], QStringLiteral("blue|") + dir.path() + QStringLiteral("\\themes\\blue"));
}

TEST_F(Startup, CancelledLoginLogsFailureAndStops)
{
    writeConfig(QString());
    cancelAtLogin();
    EXPECT_FALSE(jx::Main(options));
    const QStringList progress = runtime.messagesOfKind(1);
    ASSERT_EQ(progress.size(), 2);
    EXPECT_EQ(progress[0], QStringLiteral("系统正常启动,登录操作"));
    EXPECT_EQ(progress[1], QStringLiteral("操作员登录失败"));
    EXPECT_TRUE(runtime.messagesOfKind(48).isEmpty()); // no user: no sign-out record
    EXPECT_FALSE(runtime.w.events.contains(QStringLiteral("logout")));
    EXPECT_EQ(jx::Globals().currentUser, nullptr);
}

TEST_F(Startup, LoginClosedAfterRefusalLogsTheNameItLeft)
{
    writeConfig(QString());
    options.loginDriver = [](jx::frmLogin &login) {
        login.CobUser()->setEditText(QStringLiteral("admin"));
        login.Password()->setText(QStringLiteral("wrong"));
        login.OkRoutine();
        login.reject(); // the close box, not the cancel button
    };
    EXPECT_FALSE(jx::Main(options));
    EXPECT_EQ(runtime.messagesOfKind(1).last(), QStringLiteral("操作员admin登录失败"));
    // The name is set, so shutdown signs it out; nothing was recorded as a sign-in.
    const QStringList ops = runtime.messagesOfKind(48);
    ASSERT_EQ(ops.size(), 1);
    EXPECT_TRUE(ops[0].contains(QStringLiteral("正在注销用户并退出系统！")));
    EXPECT_EQ(jx::Globals().config, nullptr);
}

TEST_F(Startup, SignedInWithoutUserNameCountsAsCancelled)
{
    writeConfig(QString());
    runtime.w.company[QStringLiteral("CoName")] = QStringLiteral("好家地产");
    options.loginDriver = [](jx::frmLogin &login) {
        auto *user = dynamic_cast<jxtest::FakeUser *>(jx::Globals().currentUser.get());
        ASSERT_NE(user, nullptr);
        user->name.clear();
        user->loggedIn = true;
        login.reject();
    };
    EXPECT_FALSE(jx::Main(options));
    EXPECT_EQ(runtime.messagesOfKind(1),
              (QStringList{QStringLiteral("系统正常启动,登录操作"), QStringLiteral("操作员成功登录好家地产"), QStringLiteral("操作员已取消登录")}));
    EXPECT_TRUE(runtime.messagesOfKind(48).isEmpty());
    EXPECT_TRUE(runtime.w.queries.isEmpty()); // no server time, no company record
    EXPECT_FALSE(jx::Globals().splash);
    EXPECT_FALSE(jx::Globals().mainWindow);
}

TEST_F(Startup, RunTimeErrorAfterSplashUnloadsItAndSignsOut)
{
    writeConfig(QStringLiteral("<settings><splashdelay>5000</splashdelay></settings>"));
    signInAs(QStringLiteral("admin"), QStringLiteral("admin123"));
    QPointer<jx::frmSplash> splashSeen;
    runtime.writer.onWrite = [&splashSeen](const QString &message) {
        if (message == QStringLiteral("加载主工作窗体中...")) {
            splashSeen = jx::Globals().splash;
            throw std::runtime_error("磁盘已满");
        }
    };
    EXPECT_FALSE(jx::Main(options));
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().style, jx::Critical);
    EXPECT_EQ(boxes.last().title, QStringLiteral("错误:"));
    // The log note comes before the stage moves on, so the plug-in stage is reported.
    EXPECT_EQ(boxes.last().text, QStringLiteral("主程序执行过程中发生错误\r\n\r\n正在运行<加载插件>...;错误原因:磁盘已满"));
    EXPECT_TRUE(splashSeen.isNull()); // it was up, and the handler removed it
    EXPECT_FALSE(jx::Globals().splash);
    EXPECT_TRUE(runtime.w.events.contains(QStringLiteral("logout")));
    EXPECT_TRUE(runtime.messagesOfKind(48).last().contains(QStringLiteral("正在注销用户并退出系统！")));
    EXPECT_EQ(jx::Globals().currentUser, nullptr);
}

TEST_F(Startup, SplashGoneBeforeItsDelayIsSetIsNoFault)
{
    writeConfig(QStringLiteral("<settings><splashdelay>5000</splashdelay></settings>"));
    signInAs(QStringLiteral("admin"), QStringLiteral("admin123"));
    runtime.writer.onWrite = [](const QString &message) {
        if (message == QStringLiteral("显示主工作台...") && jx::Globals().splash)
            delete jx::Globals().splash.data();
    };
    ASSERT_TRUE(jx::Main(options));
    EXPECT_EQ(boxes.count(), 0);
    EXPECT_FALSE(jx::Globals().splash);
    ASSERT_TRUE(jx::Globals().mainWindow);
    EXPECT_TRUE(jx::Globals().mainWindow->isVisible());
}

TEST_F(Startup, SuccessfulSignInShowsMainWindowAndCloseShutsDown)
{
    writeConfig(QString());
    jx::SettingsStore::saveSetting(QStringLiteral("简衡测试"), QStringLiteral("main"), QStringLiteral("ISVERSION"), QStringLiteral("3.2"));
    // The sign-in is recorded before the company record is loaded from sysdatabase.
    runtime.w.company[QStringLiteral("CoName")] = QStringLiteral("好家地产");
    runtime.w.companyRows = {{{QStringLiteral("zt_coname"), QStringLiteral("新名地产")}, {QStringLiteral("zt_addrg"), QStringLiteral("北京")}}};
    signInAs(QStringLiteral("admin"), QStringLiteral("admin123"));
    ASSERT_TRUE(jx::Main(options));
    EXPECT_EQ(boxes.count(), 0);

    const QStringList ops = runtime.messagesOfKind(48);
    ASSERT_EQ(ops.size(), 1);
    const QString version = QStringLiteral("%1.%2.%3").arg(jx::ProgramVersionMajor()).arg(jx::ProgramVersionMinor()).arg(jx::ProgramVersionRevision());
    EXPECT_EQ(ops[0], QStringLiteral("<log><progid>0</progid><user>admin</user><message>成功登录[好家地产]！登录时间:2026-12-09 09:30:00 主控台版本:")
                          + version + QStringLiteral(" 安装版本:3.2</message></log>"));
    EXPECT_TRUE(runtime.w.queries.contains(QStringLiteral("select now()")));
    EXPECT_TRUE(runtime.w.queries.contains(QStringLiteral("select top 1 * from sysdatabase order by zt_code")));
    EXPECT_EQ(runtime.w.company.value(QStringLiteral("AddrGAlt")), QStringLiteral("北京"));
    EXPECT_EQ(runtime.w.company.value(QStringLiteral("CoName")), QStringLiteral("新名地产"));
    EXPECT_EQ(runtime.w.env.UserName, QStringLiteral("admin"));

    EXPECT_EQ(runtime.messagesOfKind(1),
              (QStringList{QStringLiteral("系统正常启动,登录操作"), QStringLiteral("操作员admin成功登录好家地产"), QStringLiteral("加载splash窗体中..."),
                           QStringLiteral("加载主工作窗体中..."), QStringLiteral("显示主工作台...")}));
    for (const jxtest::LoggedEntry &e : runtime.w.entries)
        EXPECT_EQ(e.source, QStringLiteral("简衡软件")) << e.message.toStdString();

    ASSERT_TRUE(jx::Globals().mainWindow);
    EXPECT_TRUE(jx::Globals().mainWindow->isVisible());
    EXPECT_EQ(jx::Globals().mainWindow->windowTitle(), QStringLiteral("简衡测试"));
    EXPECT_TRUE(jx::Globals().mainWindow->windowState() & Qt::WindowMaximized);
    // Title bar, link bar and the status bar holding the prompt line.
    for (const char *panel : {"Panel_0", "Panel_1"})
        EXPECT_NE(jx::Globals().mainWindow->findChild<QFrame *>(QLatin1String(panel)), nullptr) << panel;
    EXPECT_EQ(jx::Globals().mainWindow->lnkMessage()->parentWidget()->objectName(), QStringLiteral("Panel_2"));
    EXPECT_FALSE(jx::Globals().splash); // no delay configured: gone at once

    jx::ShowStatus(QString());
    EXPECT_EQ(jx::Globals().mainWindow->StatusText(), QStringLiteral("【简衡软件】Ready..."));
    jx::ShowStatus(QStringLiteral("正在打开"));
    EXPECT_EQ(jx::Globals().mainWindow->lnkMessage()->text(), QStringLiteral("【简衡软件】正在打开"));

    runtime.w.events.clear();
    jx::Globals().mainWindow->close();
    QApplication::processEvents();
    EXPECT_EQ(runtime.w.events, (QStringList{QStringLiteral("logout"), QStringLiteral("release database"), QStringLiteral("release user"),
                                             QStringLiteral("release context"), QStringLiteral("release sink")}));
    const QStringList after = runtime.messagesOfKind(48);
    ASSERT_EQ(after.size(), 2);
    EXPECT_EQ(after[1], QStringLiteral("<log><progid>0</progid><user>admin</user><message>正在注销用户并退出系统！</message></log>"));
    EXPECT_EQ(jx::Globals().config, nullptr);
    // A second shutdown finds nothing left and does nothing.
    jx::Shutdown();
    EXPECT_EQ(runtime.w.events.size(), 5);
}

TEST_F(Startup, SplashStaysForTheConfiguredDelay)
{
    writeConfig(QStringLiteral("<settings><splashdelay>5000</splashdelay></settings>"));
    signInAs(QStringLiteral("admin"), QStringLiteral("admin123"));
    ASSERT_TRUE(jx::Main(options));
    ASSERT_TRUE(jx::Globals().splash);
    EXPECT_TRUE(jx::Globals().splash->Timer1().isActive());
    EXPECT_EQ(jx::Globals().splash->Timer1().interval(), 5000);
}

TEST(ShutdownTest, WithoutUserWritesNothingAndRepeats)
{
    jxtest::FakeRuntime runtime;
    jx::Globals().config = std::make_unique<jx::clsConfig>();
    jx::Globals().currentUser = runtime.CreateCurrentUser();
    jx::Globals().database = runtime.CreateDatabase();
    jx::Logger::SetWriter(&runtime.writer);
    runtime.w.events.clear();
    jx::Shutdown();
    EXPECT_TRUE(runtime.w.entries.isEmpty());
    EXPECT_EQ(runtime.w.events, (QStringList{QStringLiteral("release database"), QStringLiteral("release user")}));
    EXPECT_EQ(jx::Globals().config, nullptr);
    jx::Shutdown();
    EXPECT_EQ(runtime.w.events.size(), 2);
}

TEST(LoadCompanyTest, EmptyTableLeavesCompanyUntouched)
{
    jxtest::FakeRuntime runtime;
    jx::Globals().database = runtime.CreateDatabase();
    jx::Globals().appContext = runtime.CreateAppContext(nullptr);
    runtime.w.company[QStringLiteral("CoName")] = QStringLiteral("旧");
    jx::LoadCompany();
    EXPECT_EQ(runtime.w.company.size(), 1);
    EXPECT_EQ(runtime.w.company.value(QStringLiteral("CoName")), QStringLiteral("旧"));

    runtime.w.companyRows = {{{QStringLiteral("zt_coname"), QStringLiteral("新")}, {QStringLiteral("zt_tax"), QVariant()}}};
    jx::LoadCompany();
    EXPECT_EQ(runtime.w.company.value(QStringLiteral("CoName")), QStringLiteral("新"));
    EXPECT_EQ(runtime.w.company.value(QStringLiteral("Tax")), QString());
    EXPECT_EQ(runtime.w.company.size(), 14);
    jx::Globals().database.reset();
    jx::Globals().appContext.reset();
}

} // namespace
