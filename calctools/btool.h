#pragma once

#include <QString>

// Process-wide state of the calculation tools.
namespace btool {

// The console's program folder as the plug-in was last initialised with; empty before that.
QString &ProgramFolder();

// Folder of the library holding these tools (the plug-in file, or the program linking them).
QString LibraryFolder();

} // namespace btool
