#include "FakeLogWriter.h"
#include "TestInstallation.h"

#include "console/config/bCommon.h"
#include "console/dialogs/frmLogin.h"
#include "console/log/Logger.h"
#include "console/startup/ConsoleSession.h"
#include "console/startup/RuntimeClasses.h"
#include "console/startup/bMain.h"
#include "platform/MessageBox.h"
#include "platform/ProgramInfo.h"
#include "platform/SettingsStore.h"
#include "platform/com/ClassRegistry.h"
#include "platform/com/Guid.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QRegularExpression>
#include <QTest>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

const QStringList kReleases{QStringLiteral("release database"), QStringLiteral("release current user"),
                            QStringLiteral("release application context"), QStringLiteral("release log sink"),
                            QStringLiteral("release configuration")};

class Startup : public ::testing::Test
{
protected:
    void SetUp() override { options.programBaseName = QStringLiteral("JxMain1"); }
    void TearDown() override
    {
        delete session.mainWindow.data();
        delete session.splash.data();
        session.Shutdown();
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
    // The session's releases, in the order they happened.
    QStringList releases() const { return session.Trail().filter(QStringLiteral("release ")); }

    jxtest::TestInstallation installation;
    jxtest::FakeLogWriter log;
    jx::ConsoleSession session{&log};
    jx::StartupOptions options;
    jx::ScopedMessageBoxRecorder boxes;
};

TEST_F(Startup, ConfigurationMissingOrMalformedStopsBeforeLogAndDatabase)
{
    EXPECT_FALSE(jx::Main(session, options));
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().title, QStringLiteral("错误："));
    EXPECT_EQ(boxes.last().style, jx::Critical);
    EXPECT_EQ(boxes.last().text, QStringLiteral("程序错误，初始化参数文件") + installation.folder() + QStringLiteral("\\JxMain1.exe.Config出错!"));
    EXPECT_TRUE(log.entries.isEmpty());
    EXPECT_EQ(log.inits, 0);
    EXPECT_EQ(session.Trail(), (QStringList{QStringLiteral("configuration"), QStringLiteral("release configuration")}));
    EXPECT_EQ(session.Config(), nullptr);

    installation.write(QStringLiteral("JxMain1.exe.Config"), "<configuration><system>");
    jx::ConsoleSession second(&log);
    EXPECT_FALSE(jx::Main(second, options));
    EXPECT_EQ(boxes.count(), 2);
    EXPECT_FALSE(second.Trail().contains(QStringLiteral("database")));
}

TEST_F(Startup, DatabaseThatCannotOpenGivesTwoBoxesAndCleanStop)
{
    // A file that does not exist, then one that is not a database.
    installation.writeConfig(QString(), QStringLiteral("<database driver=\"sqlite\" file=\"missing.db\"/>"));
    EXPECT_FALSE(jx::Main(session, options));
    ASSERT_EQ(boxes.count(), 2);
    EXPECT_TRUE(boxes.boxes()[0].text.startsWith(QStringLiteral("数据库文件不存在："))) << boxes.boxes()[0].text.toStdString();
    EXPECT_EQ(boxes.boxes()[0].style, jx::OKOnly);
    EXPECT_EQ(boxes.boxes()[1].text, boxes.boxes()[0].text);
    EXPECT_EQ(boxes.boxes()[1].style, jx::Critical);
    EXPECT_EQ(boxes.boxes()[1].title, QStringLiteral("错误"));
    EXPECT_EQ(session.Trail(), (QStringList{QStringLiteral("configuration"), QStringLiteral("log"), QStringLiteral("database"),
                                            QStringLiteral("release database"), QStringLiteral("release log sink"),
                                            QStringLiteral("release configuration")}));
    EXPECT_EQ(session.Database(), nullptr);
    EXPECT_EQ(jx::Logger::Writer(), nullptr);

    boxes.clear();
    installation.write(QStringLiteral("junk.db"), QByteArray(4096, 'x'));
    installation.writeConfig(QString(), QStringLiteral("<database driver=\"sqlite\" file=\"junk.db\"/>"));
    jx::ConsoleSession second(&log);
    EXPECT_FALSE(jx::Main(second, options));
    ASSERT_EQ(boxes.count(), 2);
    EXPECT_TRUE(boxes.last().text.startsWith(QStringLiteral("不是有效的数据库文件："))) << boxes.last().text.toStdString();
    EXPECT_FALSE(second.Trail().contains(QStringLiteral("context")));
}

TEST_F(Startup, DatabaseWithoutSystemTablesIsRefusedByAttach)
{
    installation.write(QStringLiteral("empty.db"), QByteArray());
    installation.writeConfig(QString(), QStringLiteral("<database driver=\"sqlite\" file=\"empty.db\"/>"));
    EXPECT_FALSE(jx::Main(session, options));
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().title, QStringLiteral("提示："));
    EXPECT_EQ(boxes.last().style, jx::Exclamation);
    EXPECT_TRUE(boxes.last().text.startsWith(QStringLiteral("数据库中缺少系统表："))) << boxes.last().text.toStdString();
    EXPECT_EQ(releases(), kReleases);
    EXPECT_EQ(session.AppContext(), nullptr);
    EXPECT_TRUE(log.entries.isEmpty());
}

TEST_F(Startup, DatabaseClassMissingOrForeignIsARunTimeErrorWithItsStage)
{
    installation.writeConfig();
    com::unregisterBuiltinClass(com::guid(jx::kDatabaseClsid));
    const bool started = jx::Main(session, options);
    jx::RegisterRuntimeClasses();
    EXPECT_FALSE(started);
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().title, QStringLiteral("错误:"));
    EXPECT_EQ(boxes.last().style, jx::Critical);
    EXPECT_EQ(boxes.last().text, QStringLiteral("主程序执行过程中发生错误\r\n\r\n正在运行<初始化插件>...;错误原因:ActiveX 部件不能创建对象"));
    EXPECT_EQ(session.Trail(), (QStringList{QStringLiteral("configuration"), QStringLiteral("log"), QStringLiteral("database"),
                                            QStringLiteral("release log sink"), QStringLiteral("release configuration")}));

    // Another class serving the ProgID is not taken for the database.
    const CLSID foreign = com::guid("{5C0B6D1E-2F3A-4B4C-8D5E-6F708192A3B4}");
    com::unregisterBuiltinClass(com::guid(jx::kDatabaseClsid));
    com::registerBuiltinClass(foreign, QString::fromLatin1(kDatabaseProgId), [](REFIID iid, void **ppv) {
        auto *other = new ThemeManager();
        const HRESULT hr = other->QueryInterface(iid, ppv);
        other->Release();
        return hr;
    });
    jx::ConsoleSession second(&log);
    const bool startedWithForeign = jx::Main(second, options);
    com::unregisterBuiltinClass(foreign);
    jx::RegisterRuntimeClasses();
    EXPECT_FALSE(startedWithForeign);
    EXPECT_EQ(boxes.last().text, QStringLiteral("主程序执行过程中发生错误\r\n\r\n正在运行<初始化插件>...;错误原因:类不支持自动化操作或不支持期望的接口"));
    EXPECT_EQ(second.Database(), nullptr);
}

TEST_F(Startup, StepsFillTheEnvironmentAndLoadAnExistingTheme)
{
    // An empty temporarypath node is used as it stands; a theme without folder is ignored.
    installation.writeConfig(QStringLiteral("<temporarypath></temporarypath><settings><theme>blue</theme></settings>"));
    const auto opened = session.OpenInstallation(installation.configFile());
    ASSERT_TRUE(opened) << opened.error().toStdString();
    RunEnvironment &env = session.AppContext()->Environment();
    EXPECT_EQ(env.TempPath(), QString());
    EXPECT_EQ(env.AppPath(), installation.folder());
    EXPECT_EQ(env.Caption(), QStringLiteral("简衡测试"));
    EXPECT_EQ(env.ConfigFile(), installation.configFile());
    EXPECT_EQ(session.AppContext()->Theme().Folder(), QString());
    EXPECT_EQ(session.Trail(), (QStringList{QStringLiteral("configuration"), QStringLiteral("log"), QStringLiteral("database"),
                                            QStringLiteral("context"), QStringLiteral("environment"), QStringLiteral("theme")}));
    EXPECT_EQ(log.configFile, installation.configFile());
    EXPECT_EQ(boxes.count(), 0);
    session.Shutdown();

    // No node: the program folder's temp folder; the theme folder exists now.
    installation.writeConfig(QStringLiteral("<settings><theme>blue</theme></settings>"));
    ASSERT_TRUE(QDir(installation.folder()).mkpath(QStringLiteral("themes/blue")));
    jx::ConsoleSession second(&log);
    const auto secondOpened = second.OpenInstallation(installation.configFile());
    ASSERT_TRUE(secondOpened) << secondOpened.error().toStdString();
    EXPECT_EQ(second.AppContext()->Environment().TempPath(), installation.folder() + QStringLiteral("\\temp\\"));
    EXPECT_EQ(second.AppContext()->Theme().Folder(), installation.path(QStringLiteral("themes/blue")));
}

TEST_F(Startup, DemoInstallationTemporaryFolderLiesInsideIt)
{
    const QString demoConfig = jxtest::TestInstallation::readDemo("JxMain1.exe.Config");
    ASSERT_FALSE(demoConfig.isEmpty());
    installation.write(QStringLiteral("JxMain1.exe.Config"), demoConfig.toUtf8());
    const auto opened = session.OpenInstallation(installation.configFile());
    ASSERT_TRUE(opened) << opened.error().toStdString();
    QString temp = session.AppContext()->Environment().TempPath();
    EXPECT_FALSE(temp.contains(QLatin1Char('%'))) << temp.toStdString();
    ASSERT_TRUE(jx::MakeFolders(temp));
    const QFileInfo folder(jx::LocalPath(temp));
    EXPECT_TRUE(folder.isDir());
    EXPECT_EQ(folder.absoluteFilePath(), installation.path(QStringLiteral("temp")));
    // Nothing named after a placeholder appeared in the installation or the working folder.
    QDirIterator it(installation.folder(), QDirIterator::Subdirectories);
    while (it.hasNext())
        EXPECT_FALSE(it.next().contains(QLatin1Char('%'))) << it.filePath().toStdString();
    EXPECT_FALSE(QFileInfo::exists(QDir::current().filePath(QStringLiteral("%app.path%"))));
}

TEST_F(Startup, CancelOrEscAtLoginLogsFailureWithoutName)
{
    installation.writeConfig();
    // A refused attempt leaves the name "admin"; Esc then runs the Cancel routine.
    options.loginDriver = [](jx::frmLogin &login) {
        login.CobUser()->setEditText(QStringLiteral("admin"));
        login.Password()->setText(QStringLiteral("wrong"));
        login.OkRoutine();
        QTest::keyClick(login.Password(), Qt::Key_Escape);
        if (login.isVisible())
            login.CancelRoutine(); // Esc did nothing: the checks below tell
    };
    EXPECT_FALSE(jx::Main(session, options));
    EXPECT_EQ(log.messagesOfKind(1), (QStringList{QStringLiteral("系统正常启动,登录操作"), QStringLiteral("操作员登录失败")}));
    EXPECT_TRUE(log.messagesOfKind(48).isEmpty()); // no user name: no sign-out record
    EXPECT_EQ(releases(), kReleases);
    EXPECT_EQ(session.CurrentUser(), nullptr);
    EXPECT_EQ(boxes.count(), 0);
}

TEST_F(Startup, LoginClosedAfterRefusalLogsTheNameItLeft)
{
    installation.writeConfig();
    options.loginDriver = [](jx::frmLogin &login) {
        login.CobUser()->setEditText(QStringLiteral("admin"));
        login.Password()->setText(QStringLiteral("wrong"));
        login.OkRoutine();
        login.close(); // the close box, not the Cancel button
    };
    EXPECT_FALSE(jx::Main(session, options));
    EXPECT_EQ(log.messagesOfKind(1).last(), QStringLiteral("操作员admin登录失败"));
    // The name is set, so shutdown signs it out; nothing was recorded as a sign-in.
    EXPECT_EQ(log.messagesOfKind(48),
              QStringList{QStringLiteral("<log><progid>0</progid><user>admin</user><message>正在注销用户并退出系统！</message></log>")});
    EXPECT_EQ(session.Config(), nullptr);
}

TEST_F(Startup, SignInReachesMainWindowAndClosingReleasesInOrder)
{
    installation.writeConfig();
    jx::SettingsStore::saveSetting(QStringLiteral("简衡测试"), QStringLiteral("main"), QStringLiteral("ISVERSION"), QStringLiteral("3.2"));
    signInAs(QStringLiteral("admin"), QStringLiteral("admin123"));
    ASSERT_TRUE(jx::Main(session, options));
    EXPECT_EQ(boxes.count(), 0);

    // The sign-in is recorded with the server's time, before the company record is loaded.
    const QStringList ops = log.messagesOfKind(48);
    ASSERT_EQ(ops.size(), 1);
    const QString version = QStringLiteral("%1.%2.%3").arg(jx::ProgramVersionMajor()).arg(jx::ProgramVersionMinor()).arg(jx::ProgramVersionRevision());
    const QRegularExpression record(QStringLiteral("^<log><progid>0</progid><user>admin</user><message>成功登录\\[\\]！登录时间:"
                                                   "\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d 主控台版本:")
                                    + QRegularExpression::escape(version) + QStringLiteral(" 安装版本:3\\.2</message></log>$"));
    EXPECT_TRUE(record.match(ops[0]).hasMatch()) << ops[0].toStdString();
    EXPECT_EQ(log.messagesOfKind(1),
              (QStringList{QStringLiteral("系统正常启动,登录操作"), QStringLiteral("操作员admin成功登录"), QStringLiteral("加载splash窗体中..."),
                           QStringLiteral("加载主工作窗体中..."),
                           // The main window's own loading notes.
                           QStringLiteral("frmain 打开记录集..."), QStringLiteral("frmain 加载模块大类..."),
                           QStringLiteral("frmain 恢复默认的导航项目..."), QStringLiteral("frmain 应用主题..."),
                           QStringLiteral("frmain 加载图标..."), QStringLiteral("显示主工作台...")}));
    for (const jxtest::LoggedEntry &e : log.entries)
        EXPECT_EQ(e.source, QStringLiteral("简衡软件")) << e.message.toStdString();

    // The company record from sysdatabase, and the environment from the sign-in.
    CompanyInfo &company = session.AppContext()->Company();
    EXPECT_EQ(company.DisplayName(), QStringLiteral("安居房产经纪有限公司"));
    EXPECT_FALSE(company.AddrG().isEmpty());
    EXPECT_EQ(company.AddrGAlt(), company.AddrG());
    EXPECT_EQ(session.AppContext()->Environment().UserName(), QStringLiteral("admin"));
    EXPECT_EQ(session.AppContext()->Environment().UserCode(), QStringLiteral("0001"));
    EXPECT_EQ(session.AppContext()->Environment().OperationDate(), QDate::currentDate());

    ASSERT_TRUE(session.mainWindow);
    jx::frmMain &main = *session.mainWindow;
    EXPECT_TRUE(main.isVisible());
    EXPECT_EQ(main.windowTitle(), QStringLiteral("简衡测试"));
    EXPECT_TRUE(main.windowState() & Qt::WindowMaximized);
    // Title bar, link bar and the status bar holding the prompt line.
    for (const char *panel : {"Panel_0", "Panel_1"})
        EXPECT_NE(main.findChild<QFrame *>(QLatin1String(panel)), nullptr) << panel;
    EXPECT_EQ(main.lnkMessage()->parentWidget()->objectName(), QStringLiteral("Panel_2"));
    EXPECT_FALSE(session.splash); // no delay configured: gone at once

    // The prompt comes from the demo texts, the wait text is the default.
    jx::ShowStatus(session, QString());
    EXPECT_EQ(main.StatusText(), QStringLiteral("【安居房产】Ready..."));
    jx::ShowStatus(session, QStringLiteral("正在打开"));
    EXPECT_EQ(main.lnkMessage()->text(), QStringLiteral("【安居房产】正在打开"));

    // Closing the main window signs out and releases in the fixed order; a
    // reference kept here shows that the session really let go of the user.
    com::ComPtr<CurrentUser> user(session.CurrentUser());
    main.close();
    QApplication::processEvents();
    EXPECT_FALSE(user->IsLoggedIn());
    EXPECT_EQ(user->AddRef(), 2u); // ours, and the one just taken
    user->Release();
    EXPECT_EQ(releases(), kReleases);
    EXPECT_EQ(log.messagesOfKind(48).last(),
              QStringLiteral("<log><progid>0</progid><user>admin</user><message>正在注销用户并退出系统！</message></log>"));
    EXPECT_EQ(session.Config(), nullptr);
    EXPECT_EQ(jx::Logger::Writer(), nullptr);
    EXPECT_THROW(jx::WriteLog(QStringLiteral("after"), 1), com::RuntimeError);
    // A second shutdown finds nothing left and does nothing.
    const int trail = int(session.Trail().size());
    const int written = int(log.entries.size());
    session.Shutdown();
    EXPECT_EQ(session.Trail().size(), trail);
    EXPECT_EQ(log.entries.size(), written);
}

TEST_F(Startup, RunTimeErrorAfterSplashUnloadsItAndSignsOut)
{
    installation.writeConfig(QStringLiteral("<settings><splashdelay>5000</splashdelay></settings>"));
    signInAs(QStringLiteral("admin"), QStringLiteral("admin123"));
    QPointer<jx::frmSplash> splashSeen;
    // The log writer fails (as a full disk would) at the main window's note.
    log.onWrite = [this, &splashSeen](const QString &message) {
        if (message == QStringLiteral("加载主工作窗体中...")) {
            splashSeen = session.splash;
            throw std::runtime_error("磁盘已满");
        }
    };
    EXPECT_FALSE(jx::Main(session, options));
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().style, jx::Critical);
    EXPECT_EQ(boxes.last().title, QStringLiteral("错误:"));
    // The log note comes before the stage moves on, so the plug-in stage is reported.
    EXPECT_EQ(boxes.last().text, QStringLiteral("主程序执行过程中发生错误\r\n\r\n正在运行<加载插件>...;错误原因:磁盘已满"));
    EXPECT_TRUE(splashSeen.isNull()); // it was up, and the handler removed it
    EXPECT_FALSE(session.splash);
    EXPECT_TRUE(log.messagesOfKind(48).last().contains(QStringLiteral("正在注销用户并退出系统！")));
    EXPECT_EQ(releases(), kReleases);
}

TEST_F(Startup, SplashStaysForTheConfiguredDelay)
{
    installation.writeConfig(QStringLiteral("<settings><splashdelay>5000</splashdelay></settings>"));
    signInAs(QStringLiteral("clerk"), QStringLiteral("clerk123"));
    ASSERT_TRUE(jx::Main(session, options));
    ASSERT_TRUE(session.splash);
    EXPECT_TRUE(session.splash->Timer1().isActive());
    EXPECT_EQ(session.splash->Timer1().interval(), 5000);
}

TEST_F(Startup, SplashGoneBeforeItsDelayIsSetIsNoFault)
{
    installation.writeConfig(QStringLiteral("<settings><splashdelay>5000</splashdelay></settings>"));
    signInAs(QStringLiteral("admin"), QStringLiteral("admin123"));
    log.onWrite = [this](const QString &message) {
        if (message == QStringLiteral("显示主工作台...") && session.splash)
            delete session.splash.data();
    };
    ASSERT_TRUE(jx::Main(session, options));
    EXPECT_EQ(boxes.count(), 0);
    EXPECT_FALSE(session.splash);
    ASSERT_TRUE(session.mainWindow);
    EXPECT_TRUE(session.mainWindow->isVisible());
}

TEST_F(Startup, ShutdownWithoutUserWritesNothingAndRepeats)
{
    installation.writeConfig();
    ASSERT_TRUE(session.OpenInstallation(installation.configFile()));
    session.Shutdown();
    EXPECT_TRUE(log.entries.isEmpty());
    EXPECT_EQ(releases(), kReleases);
    session.Shutdown();
    EXPECT_EQ(releases(), kReleases);
}

TEST_F(Startup, LoadCompanyTakesTheFirstRowOrLeavesTheRecord)
{
    installation.writeConfig();
    ASSERT_TRUE(session.OpenInstallation(installation.configFile()));
    CompanyInfo &company = session.AppContext()->Company();
    ASSERT_TRUE(session.Database()->Execute(QStringLiteral("update sysdatabase set zt_tax=NULL")));
    company.SetTax(QStringLiteral("旧税号"));
    jx::LoadCompany(session);
    EXPECT_EQ(company.CoName(), QStringLiteral("安居房产经纪有限公司"));
    EXPECT_EQ(company.Tax(), QString()); // a Null field reads as ""
    EXPECT_EQ(company.AddrGAlt(), company.AddrG());
    for (const char *p : {"Account", "AddrB", "AddrG", "AddrR", "Attrib", "EAddrR", "EName", "Fax", "Fr", "Mail", "Phone"})
        EXPECT_FALSE(company.Property(QLatin1String(p)).isEmpty()) << p;

    // An empty table leaves the record as it is.
    ASSERT_TRUE(session.Database()->Execute(QStringLiteral("delete from sysdatabase")));
    company.SetCoName(QStringLiteral("旧"));
    jx::LoadCompany(session);
    EXPECT_EQ(company.CoName(), QStringLiteral("旧"));
}

} // namespace
