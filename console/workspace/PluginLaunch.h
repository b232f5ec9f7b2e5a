#pragma once

#include <QString>

#include <cstdint>

namespace jx {

class ConsoleSession;

// Runs an entry of the plug-in menu kind: the plug-in its program record
// names is created, given its parameters (program number, mode code,
// caption, command line) before anything asks it for its name, checked
// against the run right and the signed-in user, started with the session's
// context, asked to act and cleared. Failures are logged, never raised.
class PluginLaunch final
{
public:
    static void run(ConsoleSession &session, int32_t programNumber, const QString &modeCode, const QString &caption);
};

} // namespace jx
