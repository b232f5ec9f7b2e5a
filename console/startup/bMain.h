#pragma once

#include "console/config/clsConfig.h"
#include "console/startup/RuntimeObjects.h"

#include "console/dialogs/frmSplash.h"
#include "console/workspace/frmMain.h"

#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

namespace jx {

class frmLogin;

// The process-wide objects: created by start-up, released by Shutdown.
struct ConsoleGlobals
{
    std::unique_ptr<clsConfig> config;
    std::shared_ptr<void> logSink;
    std::unique_ptr<IDatabase> database;
    std::unique_ptr<ICurrentUser> currentUser;
    std::unique_ptr<IAppContext> appContext;
    IRuntimeFactory *factory = nullptr;
    // Windows delete themselves when they close; the pointers then read null.
    QPointer<frmSplash> splash;
    QPointer<frmMain> mainWindow;
};

ConsoleGlobals &Globals();

struct StartupOptions
{
    IRuntimeFactory *factory = nullptr;
    // The executable's base name; the configuration file is this + ".exe.Config".
    QString programBaseName;
    // Called once the login window is up (a benchmark or test signs in through it).
    std::function<void(frmLogin &)> loginDriver;
};

// Walks the start-up order. True when the main window is shown and the program
// should run its event loop; false after a stop through Shutdown.
bool Main(const StartupOptions &options);

// Signs the operator out and releases the process-wide objects in a fixed
// order; every error inside is ignored, so a second call is harmless.
void Shutdown();

// Sets the main window's status prompt to prompt + text (or the wait text).
void ShowStatus(const QString &text);

// Fills the company record from the first row of sysdatabase; silent on error.
void LoadCompany();

// Runs the start-up plug-ins of a stage (100 before the database, 101 after the splash).
void RunStartupPlugins(int style);

// Text of the program's own version parts.
int ProgramVersionMajor();
int ProgramVersionMinor();
int ProgramVersionRevision();

} // namespace jx
