#pragma once

#include "console/config/clsConfig.h"
#include "console/dialogs/frmSplash.h"
#include "console/workspace/frmMain.h"

#include "components/context/AppContext.h"
#include "components/context/CurrentUser.h"
#include "components/data/Database.h"
#include "platform/com/ComPtr.h"
#include "platform/com/Result.h"

#include <QPointer>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class LogSink;

namespace jx {

class ILogWriter;

// The console's process-wide objects: configuration, log sink, database,
// current user, application context, and the splash and main windows. The
// start-up routine creates them through the steps below; Shutdown signs the
// operator out and releases them in a fixed order. Forms are handed the
// session; nothing reaches these objects through a global.
//
// The steps can be run on their own, so a tool can open an installation as
// the console does without signing in (OpenInstallation). One session at a
// time: the log steps wire the process-wide log hook to this session.
class ConsoleSession final
{
public:
    // `logWriter` replaces the components' log writer (tests observe entries
    // with one); it must outlive the session's log.
    explicit ConsoleSession(ILogWriter *logWriter = nullptr);
    ~ConsoleSession();
    ConsoleSession(const ConsoleSession &) = delete;
    ConsoleSession &operator=(const ConsoleSession &) = delete;

    // Creates the configuration object and reads the file. False: the file is
    // missing or malformed; the object stays (for its file name) until Shutdown.
    bool OpenConfiguration(const QString &configFile);
    // Creates the log sink, hands the configuration file to the log writer,
    // initialises it and installs it for the whole process.
    void SetUpLog();
    // Creates the database object by its ProgID (a run-time error when the
    // class cannot be created) and opens the connection the configuration
    // describes; the result of Open (reason in Database()->LastError()).
    bool OpenDatabase();
    // Creates the current user, then the application context, and attaches
    // the database; the result of Attach (reason in AppContext()->LastError()).
    bool AttachContext();
    // Program folder, caption, configuration file and temporary folder.
    void FillEnvironment();
    // Loads the configured theme when its folder exists; anything else is ignored.
    void LoadTheme();

    // The steps above in order, for a tool that needs an open installation but
    // no operator. A failure with the reason the console would have shown.
    jx::Result<> OpenInstallation(const QString &configFile);

    // Signs the operator out and releases, in this order, the database, the
    // current user, the application context, the log sink, then clears and
    // releases the configuration. Every error inside is ignored; a second call
    // finds nothing left and does nothing. Windows are not closed here.
    void Shutdown();

    // What a function control left in the context and configuration it was
    // handed by reference: each becomes the session's own when it is another
    // object of the same kind. Nothing, or an object of another kind, leaves
    // the session's as it was. A replaced object stays alive until Shutdown,
    // for whatever still holds it.
    void TakeBack(IDispatch *context, IDispatch *configuration);

    clsConfig *Config() const { return m_config.get(); }
    ::Database *Database() const { return m_database.get(); }
    ::CurrentUser *CurrentUser() const { return m_currentUser.get(); }
    ::AppContext *AppContext() const { return m_appContext.get(); }
    LogSink *Sink() const { return m_logSink.get(); }

    // The single splash and main windows; they delete themselves on close.
    QPointer<frmSplash> splash;
    QPointer<frmMain> mainWindow;

    // What the session did, in order: the step names ("configuration", "log",
    // "database", "context", "environment", "theme") and each release
    // ("release database", ... "release configuration").
    const QStringList &Trail() const { return m_trail; }

private:
    class ComponentsLog;

    void releaseLog();

    ILogWriter *m_givenWriter;
    std::unique_ptr<ComponentsLog> m_componentsLog;
    com::ComPtr<clsConfig> m_config;
    std::unique_ptr<LogSink> m_logSink;
    com::ComPtr<::Database> m_database;
    com::ComPtr<::CurrentUser> m_currentUser;
    com::ComPtr<::AppContext> m_appContext;
    // Objects TakeBack replaced.
    std::vector<com::ComPtr<IDispatch>> m_replaced;
    QStringList m_trail;
};

} // namespace jx
