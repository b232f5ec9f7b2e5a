#include "console/startup/bMain.h"

#include "components/context/CompanyInfo.h"
#include "components/data/QueryResult.h"
#include "components/data/Recordset.h"
#include "console/config/bCommon.h"
#include "console/dialogs/frmLogin.h"
#include "console/dialogs/frmSplash.h"
#include "console/log/Logger.h"
#include "console/startup/ConsoleSession.h"
#include "console/workspace/MenuKind.h"
#include "console/workspace/frmEdit.h"
#include "console/workspace/frmMain.h"
#include "controls/Button.h"
#include "platform/MessageBox.h"
#include "platform/Numeric.h"
#include "platform/ProgramInfo.h"
#include "platform/SettingsStore.h"
#include "platform/com/RuntimeError.h"

#include <QCoreApplication>
#include <QScopeGuard>
#include <QTimer>

#include <exception>
#include <memory>

namespace jx {

int ProgramVersionMajor() { return ProgramInfo::versionMajor(); }
int ProgramVersionMinor() { return ProgramInfo::versionMinor(); }
int ProgramVersionRevision() { return ProgramInfo::versionRevision(); }

namespace {

[[noreturn]] void objectRequired()
{
    throw com::RuntimeError::of(com::errors::ObjectRequired, QStringLiteral("JxMain1"));
}

void unloadSplash(ConsoleSession &session)
{
    if (session.splash) {
        session.splash->close();
        delete session.splash;
        session.splash = nullptr;
    }
}

} // namespace

void ShowStatus(ConsoleSession &session, const QString &text)
{
    AppContext *context = session.AppContext();
    if (!context)
        objectRequired();
    const QString prompt = context->GetText(QStringLiteral("main"), QStringLiteral("/mdimain/statusbar/prompt"), QStringLiteral("【简衡软件】"));
    QString shown = text;
    if (shown.isEmpty())
        shown = context->GetText(QStringLiteral("main"), QStringLiteral("/mdimain/statusbar/wait"), QStringLiteral("Ready..."));
    if (!session.mainWindow)
        session.mainWindow = new frmMain(session); // touching the main window creates it
    session.mainWindow->SetStatusText(prompt + shown);
}

void LoadCompany(ConsoleSession &session)
{
    try {
        Database *database = session.Database();
        AppContext *context = session.AppContext();
        if (!database || !context)
            return;
        Recordset rs = database->Query(QStringLiteral("select top 1 * from sysdatabase order by zt_code"), 1).Recordset();
        if (!(rs.Bof() && rs.Eof())) {
            static const char *const order[][2] = {
                {"Account", "zt_account"}, {"AddrB", "zt_addrb"}, {"AddrG", "zt_addrg"}, {"AddrR", "zt_addrr"},
                {"Attrib", "zt_attrib"}, {"CoName", "zt_coname"}, {"AddrGAlt", "zt_addrg"}, {"EAddrR", "zt_eaddrr"},
                {"EName", "zt_ename"}, {"Fax", "zt_fax"}, {"Fr", "zt_fr"}, {"Mail", "zt_mail"},
                {"Phone", "zt_phone"}, {"Tax", "zt_tax"},
            };
            CompanyInfo &company = context->Company();
            for (const auto &pair : order)
                company.SetProperty(QLatin1String(pair[0]), toText(rs.Fields(QLatin1String(pair[1]))));
        }
        rs.Close();
    } catch (const std::exception &e) {
        // The company record keeps what was set before the error.
        Logger::WriteSwallowed(QStringLiteral("读取公司信息"), e);
    }
}

namespace {

// The configuration, the log and the database, with the start-up plug-ins
// of the first stage between them; false (the operator told) when one of
// them cannot be had.
bool openInstallation(ConsoleSession &session, const StartupOptions &options, QString &stage)
{
    QString baseName = options.programBaseName;
    if (baseName.isEmpty())
        baseName = ProgramInfo::exeName();
    if (!session.OpenConfiguration(FullPath(baseName + QStringLiteral(".exe.Config")))) {
        msgBox(QStringLiteral("程序错误，初始化参数文件") + trimBlanks(session.Config()->ConfigFileName()) + QStringLiteral("出错!"),
               Critical, QStringLiteral("错误："));
        return false;
    }
    ProgramInfo::setHelpFile(session.Config()->HelpFileName());

    stage = QStringLiteral("初始化Log配置..");
    session.SetUpLog();

    stage = QStringLiteral("正在运行<初始化插件>...");
    RunStartupPlugins(session, 100);

    // A failed Open is shown, then the connection state decides.
    if (!session.OpenDatabase())
        msgBox(session.Database()->LastError().Description(), OKOnly, QString());
    if (!session.Database()->IsOpen()) {
        msgBox(session.Database()->LastError().Description(), Critical, QStringLiteral("错误"));
        return false;
    }
    if (!session.AttachContext()) {
        msgBox(session.AppContext()->LastError().Description(), Exclamation, QStringLiteral("提示："));
        return false;
    }
    session.FillEnvironment();
    session.LoadTheme();
    return true;
}

// The login window; true when a user signed in.
bool signIn(ConsoleSession &session, const StartupOptions &options, QString &stage)
{
    CurrentUser &user = *session.CurrentUser();
    WriteLog(QStringLiteral("系统正常启动,登录操作"), LogProgress);
    stage = QStringLiteral("正在用户设置..");
    {
        auto login = std::make_unique<frmLogin>(session);
        login->LoadForm();
        if (options.loginDriver) {
            frmLogin *raw = login.get();
            auto driver = options.loginDriver;
            QTimer::singleShot(0, raw, [raw, driver] { driver(*raw); });
        }
        login->exec();
    }
    QCoreApplication::processEvents();

    if (!user.IsLoggedIn()) {
        WriteLog(QStringLiteral("操作员") + user.UserName() + QStringLiteral("登录失败"), LogProgress);
        return false;
    }
    WriteLog(QStringLiteral("操作员") + user.UserName() + QStringLiteral("成功登录") + session.AppContext()->Company().DisplayName(),
             LogProgress);
    if (user.UserName().isEmpty()) {
        WriteLog(QStringLiteral("操作员") + QStringLiteral("已取消登录"), LogProgress);
        return false;
    }
    return true;
}

// The operation record of the sign-in, with the server's time and the versions.
void recordSignIn(ConsoleSession &session)
{
    Database &database = *session.Database();
    AppContext &context = *session.AppContext();
    const QVariant serverTime = database.Query(QStringLiteral("select ") + database.SqlExpression(QStringLiteral("getdate()")), 1).Value();
    const QString loginTime = QStringLiteral("登录时间:") + toText(serverTime);
    WriteOperation(QStringLiteral("成功登录[") + context.Company().DisplayName() + QStringLiteral("]！") + loginTime
                       + QStringLiteral(" ") + QStringLiteral("主控台版本:") + QString::number(ProgramVersionMajor())
                       + QLatin1Char('.') + QString::number(ProgramVersionMinor()) + QLatin1Char('.')
                       + QString::number(ProgramVersionRevision()) + QStringLiteral(" 安装版本:")
                       + SettingsStore::getSetting(session.Config()->Caption(), QStringLiteral("main"), QStringLiteral("ISVERSION"), QString()),
                   0);
}

// The splash, the start-up plug-ins of the second stage, the main window
// and, unless the operator turned it off, the alert window.
void showWorkspace(ConsoleSession &session, QString &stage)
{
    clsConfig &config = *session.Config();
    WriteLog(QStringLiteral("加载splash窗体中..."), LogProgress);
    stage = QStringLiteral("正在加载显示Splash窗体..");
    session.splash = new frmSplash(session);
    session.splash->LoadForm();
    session.splash->Timer1().stop();
    session.splash->show();
    QCoreApplication::processEvents();

    stage = QStringLiteral("正在运行<加载插件>...");
    RunStartupPlugins(session, 101);

    WriteLog(QStringLiteral("加载主工作窗体中..."), LogProgress);
    stage = QStringLiteral("正在加载主程序(main)...");
    if (!session.mainWindow)
        session.mainWindow = new frmMain(session);
    session.mainWindow->LoadForm();
    WriteLog(QStringLiteral("显示主工作台..."), LogProgress);
    stage = QStringLiteral("显示主工作台...");
    session.mainWindow->showMaximized();

    // The splash stays for the configured delay (refused at read time
    // when out of range); it may already be gone if it was closed meanwhile.
    const int delay = config.SplashDelay();
    if (delay < 1) {
        unloadSplash(session);
    } else if (session.splash) {
        // The main window came up after the splash; keep the splash in front
        // for its delay, also where the window manager ignores stay-on-top.
        session.splash->raise();
        session.splash->Timer1().setInterval(delay);
        session.splash->Timer1().start();
    }

    // The alert window opens at start until the operator turns it off.
    if (val(SettingsStore::getSetting(config.Caption(), QStringLiteral("settings"), QStringLiteral("tipsshow"),
                                      QStringLiteral("0")))
        == 0) {
        if (!frmEdit::Open(session, session.mainWindow, 0, QStringLiteral("预警"), MenuKind::Alert, com::Variant(), nullptr, 0)
            && session.mainWindow)
            session.mainWindow->ImgBtn(5)->hide();
    }
}

} // namespace

bool Main(ConsoleSession &session, const StartupOptions &options)
{
    // Every way out but the workspace shown releases what was made so far.
    auto shutdown = qScopeGuard([&session] { session.Shutdown(); });
    QString stage;
    try {
        if (!openInstallation(session, options, stage) || !signIn(session, options, stage))
            return false;
        recordSignIn(session);
        session.CurrentUser()->Activate();
        LoadCompany(session);
        showWorkspace(session, stage);
        shutdown.dismiss();
        return true;
    } catch (const std::exception &e) {
        stage += QStringLiteral(";错误原因:") + com::errorDescription(e);
        unloadSplash(session);
        msgBox(QStringLiteral("主程序执行过程中发生错误") + QStringLiteral("\r\n\r\n") + stage, Critical, QStringLiteral("错误:"));
        return false;
    }
}

} // namespace jx
