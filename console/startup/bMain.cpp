#include "console/startup/bMain.h"

#include "platform/Numeric.h"
#include "console/config/bCommon.h"
#include "console/dialogs/frmLogin.h"
#include "console/dialogs/frmSplash.h"
#include "platform/ILogWriter.h"
#include "console/log/Logger.h"
#include "platform/MessageBox.h"
#include "platform/SettingsStore.h"
#include "console/workspace/frmMain.h"
#include "platform/ProgramInfo.h"
#include "platform/com/RuntimeError.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QTimer>

#include <exception>

namespace jx {

ConsoleGlobals &Globals()
{
    static ConsoleGlobals globals;
    return globals;
}

int ProgramVersionMajor() { return ProgramInfo::versionMajor(); }
int ProgramVersionMinor() { return ProgramInfo::versionMinor(); }
int ProgramVersionRevision() { return ProgramInfo::versionRevision(); }

namespace {

QString describe(const std::exception &e)
{
    if (const auto *rt = dynamic_cast<const com::RuntimeError *>(&e))
        return rt->description();
    return QString::fromUtf8(e.what());
}

void wireLogger()
{
    Logger::SetSubjectSource([] {
        if (!Globals().config)
            throw com::RuntimeError(com::errors::ObjectRequired, QStringLiteral("JxMain1"), QStringLiteral("缺少对象"));
        return Globals().config->Subject();
    });
    Logger::SetUserNameSource([] {
        if (!Globals().currentUser)
            throw com::RuntimeError(com::errors::ObjectRequired, QStringLiteral("JxMain1"), QStringLiteral("缺少对象"));
        return Globals().currentUser->UserName();
    });
}

void unloadSplash()
{
    ConsoleGlobals &g = Globals();
    if (g.splash) {
        g.splash->close();
        delete g.splash;
        g.splash = nullptr;
    }
}

} // namespace

void RunStartupPlugins(int)
{
    // No start-up plug-ins are run yet.
}

void Shutdown()
{
    ConsoleGlobals &g = Globals();
    try {
        if (g.currentUser && !g.currentUser->UserName().isEmpty()) {
            try {
                WriteOperation(QStringLiteral("正在注销用户并退出系统！"), 0);
            } catch (const std::exception &) {
            }
            try {
                g.currentUser->Logout();
            } catch (const std::exception &) {
            }
        }
    } catch (const std::exception &) {
    }
    g.database.reset();
    g.currentUser.reset();
    g.appContext.reset();
    g.logSink.reset();
    Logger::SetWriter(nullptr);
    if (g.config) {
        g.config->Clear();
        g.config.reset();
    }
}

void ShowStatus(const QString &text)
{
    ConsoleGlobals &g = Globals();
    if (!g.appContext)
        throw com::RuntimeError(com::errors::ObjectRequired, QStringLiteral("JxMain1"), QStringLiteral("缺少对象"));
    const QString prompt = g.appContext->GetText(QStringLiteral("main"), QStringLiteral("/mdimain/statusbar/prompt"), QStringLiteral("【简衡软件】"));
    QString shown = text;
    if (shown.isEmpty())
        shown = g.appContext->GetText(QStringLiteral("main"), QStringLiteral("/mdimain/statusbar/wait"), QStringLiteral("Ready..."));
    if (!g.mainWindow)
        g.mainWindow = new frmMain(); // touching the main window creates it
    g.mainWindow->SetStatusText(prompt + shown);
}

void LoadCompany()
{
    ConsoleGlobals &g = Globals();
    try {
        if (!g.database || !g.appContext)
            return;
        std::unique_ptr<IRecordset> rs = g.database->QueryRecordset(QStringLiteral("select top 1 * from sysdatabase order by zt_code"));
        if (!rs)
            return;
        if (!(rs->BOF_() && rs->EOF_())) {
            static const char *const order[][2] = {
                {"Account", "zt_account"}, {"AddrB", "zt_addrb"}, {"AddrG", "zt_addrg"}, {"AddrR", "zt_addrr"},
                {"Attrib", "zt_attrib"}, {"CoName", "zt_coname"}, {"AddrGAlt", "zt_addrg"}, {"EAddrR", "zt_eaddrr"},
                {"EName", "zt_ename"}, {"Fax", "zt_fax"}, {"Fr", "zt_fr"}, {"Mail", "zt_mail"},
                {"Phone", "zt_phone"}, {"Tax", "zt_tax"},
            };
            for (const auto &pair : order)
                g.appContext->SetCompanyProperty(QLatin1String(pair[0]), toText(rs->Field(QLatin1String(pair[1]))));
        }
        rs->Close();
    } catch (const std::exception &) {
        // the company record keeps what was set before the error
    }
}

bool Main(const StartupOptions &options)
{
    ConsoleGlobals &g = Globals();
    g.factory = options.factory;
    wireLogger();
    QString stage;
    try {
        // 1-2: configuration
        g.config = std::make_unique<clsConfig>();
        QString baseName = options.programBaseName;
        if (baseName.isEmpty())
            baseName = ProgramInfo::exeName();
        const QString configFile = FullPath(baseName + QStringLiteral(".exe.Config"));
        if (!g.config->Init(configFile)) {
            msgBox(QStringLiteral("程序错误，初始化参数文件") + g.config->ConfigFileName() + QStringLiteral("出错!"),
                          Critical, QStringLiteral("错误："));
            g.config.reset();
            Shutdown();
            return false;
        }
        // 3: help file
        ProgramInfo::setHelpFile(g.config->HelpFileName());

        // 4: log
        stage = QStringLiteral("初始化Log配置..");
        if (!g.factory)
            throw com::RuntimeError(com::errors::CannotCreateObject, QStringLiteral("JxMain1"), QStringLiteral("ActiveX 部件不能创建对象"));
        g.logSink = g.factory->CreateLogSink();
        ILogWriter *writer = g.factory->LogWriter();
        writer->LoadConfig(g.config->ConfigFileName());
        writer->Init();
        Logger::SetWriter(writer);

        // 5
        stage = QStringLiteral("正在运行<初始化插件>...");
        RunStartupPlugins(100);

        // 6-7: database
        g.database = g.factory->CreateDatabase();
        if (!g.database->Open(g.config->ConfigFileName(), true))
            msgBox(g.database->LastErrorDescription(), OKOnly, QString());
        if (!g.database->IsOpen()) {
            msgBox(g.database->LastErrorDescription(), Critical, QStringLiteral("错误"));
            Shutdown();
            return false;
        }

        // 8: user and context
        g.currentUser = g.factory->CreateCurrentUser();
        g.appContext = g.factory->CreateAppContext(g.currentUser.get());
        if (!g.appContext->Attach(g.database.get())) {
            msgBox(g.appContext->LastErrorDescription(), Exclamation, QStringLiteral("提示："));
            Shutdown();
            return false;
        }

        // 9: environment
        RunEnvironmentValues env = g.appContext->Environment();
        env.AppPath = AppPath();
        env.Caption = g.config->Caption();
        env.ConfigFile = g.config->ConfigFileName();
        const QVariant temp = g.config->XML()->GetValue(QStringLiteral("/configuration/system/temporarypath"));
        env.TempPath = temp.isNull() ? AppPath() + QStringLiteral("\\temp\\") : toText(temp);
        g.appContext->SetEnvironment(env);

        // 10: theme
        const QString theme = toText(g.config->XML()->GetValue(QStringLiteral("/configuration/system/settings/theme")));
        if (!theme.isEmpty() && QFileInfo(LocalPath(AppPath() + QStringLiteral("\\themes\\") + theme)).isDir())
            g.appContext->LoadTheme(theme, env.AppPath + QStringLiteral("\\themes\\") + theme);

        // 11-12: sign-in
        WriteLog(QStringLiteral("系统正常启动,登录操作"), LogProgress);
        stage = QStringLiteral("正在用户设置..");
        {
            auto login = std::make_unique<frmLogin>();
            login->LoadForm();
            if (options.loginDriver) {
                frmLogin *raw = login.get();
                auto driver = options.loginDriver;
                QTimer::singleShot(0, raw, [raw, driver] { driver(*raw); });
            }
            login->exec();
        }
        QCoreApplication::processEvents();

        // 13-14
        if (!g.currentUser->IsLoggedIn()) {
            WriteLog(QStringLiteral("操作员") + g.currentUser->UserName() + QStringLiteral("登录失败"), LogProgress);
            Shutdown();
            return false;
        }
        WriteLog(QStringLiteral("操作员") + g.currentUser->UserName() + QStringLiteral("成功登录") + g.appContext->CompanyDisplayName(), LogProgress);
        if (g.currentUser->UserName().isEmpty()) {
            WriteLog(QStringLiteral("操作员") + QStringLiteral("已取消登录"), LogProgress);
            Shutdown();
            return false;
        }

        // 15: sign-in record
        const QVariant serverTime = g.database->QueryValue(QStringLiteral("select ") + g.database->SqlExpression(QStringLiteral("getdate()")));
        const QString loginTime = QStringLiteral("登录时间:") + toText(serverTime);
        WriteOperation(QStringLiteral("成功登录[") + g.appContext->CompanyDisplayName() + QStringLiteral("]！") + loginTime
                           + QStringLiteral(" ") + QStringLiteral("主控台版本:") + QString::number(ProgramVersionMajor())
                           + QLatin1Char('.') + QString::number(ProgramVersionMinor()) + QLatin1Char('.')
                           + QString::number(ProgramVersionRevision()) + QStringLiteral(" 安装版本:")
                           + SettingsStore::getSetting(g.config->Caption(), QStringLiteral("main"), QStringLiteral("ISVERSION"), QString()),
                       0);

        // 16
        g.currentUser->Activate();
        LoadCompany();

        // 17: splash
        WriteLog(QStringLiteral("加载splash窗体中..."), LogProgress);
        stage = QStringLiteral("正在加载显示Splash窗体..");
        g.splash = new frmSplash();
        g.splash->LoadForm();
        g.splash->Timer1().stop();
        g.splash->show();
        QCoreApplication::processEvents();

        // 18
        stage = QStringLiteral("正在运行<加载插件>...");
        RunStartupPlugins(101);

        // 19-20: main window
        WriteLog(QStringLiteral("加载主工作窗体中..."), LogProgress);
        stage = QStringLiteral("正在加载主程序(main)...");
        if (!g.mainWindow)
            g.mainWindow = new frmMain();
        g.mainWindow->LoadForm();
        WriteLog(QStringLiteral("显示主工作台..."), LogProgress);
        stage = QStringLiteral("显示主工作台...");
        g.mainWindow->showMaximized();

        // 21: the splash stays for the configured delay (refused at read time
        // when out of range); it may already be gone if it was closed meanwhile.
        const int delay = g.config->SplashDelay();
        if (delay < 1) {
            unloadSplash();
        } else if (g.splash) {
            // The main window came up after the splash; keep the splash in front
            // for its delay, also where the window manager ignores stay-on-top.
            g.splash->raise();
            g.splash->Timer1().setInterval(delay);
            g.splash->Timer1().start();
        }
        return true;
    } catch (const std::exception &e) {
        stage += QStringLiteral(";错误原因:") + describe(e);
        unloadSplash();
        msgBox(QStringLiteral("主程序执行过程中发生错误") + QStringLiteral("\r\n\r\n") + stage, Critical, QStringLiteral("错误:"));
        Shutdown();
        return false;
    }
}

} // namespace jx
