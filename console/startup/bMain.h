#pragma once

#include <QString>

#include <functional>

namespace jx {

class ConsoleSession;
class frmLogin;

struct StartupOptions
{
    // The executable's base name; the configuration file is this + ".exe.Config".
    QString programBaseName;
    // Called once the login window is up (a benchmark or test signs in through it).
    std::function<void(frmLogin &)> loginDriver;
};

// Walks the start-up order, creating the session's objects. True when the
// main window is shown and the program should run its event loop; false after
// a stop through the session's Shutdown.
bool Main(ConsoleSession &session, const StartupOptions &options = {});

// Sets the main window's status prompt to prompt + text (or the wait text).
void ShowStatus(ConsoleSession &session, const QString &text);

// Fills the company record from the first row of sysdatabase; an error is
// logged, never shown or raised.
void LoadCompany(ConsoleSession &session);

// Runs the start-up plug-ins of a stage (100 before the database, 101 after the splash).
void RunStartupPlugins(ConsoleSession &session, int style);

// Text of the program's own version parts.
int ProgramVersionMajor();
int ProgramVersionMinor();
int ProgramVersionRevision();

} // namespace jx
