#pragma once

// The plug-in manager's scan of the Plugin folder, one helper process
// (`plugin-host --scan LIBRARY`) per library: a library that crashes while it
// is loaded or created takes only its helper down, and one that does not
// answer within the time limit is killed. Either is listed as rejected with
// the reason; the rows come from the helper's scan lines (PluginScanLine.h).

#include "console/plugins/modCreateObj.h"

#include <QString>

#include <chrono>

namespace jx {

class PluginScanner
{
public:
    // How long one library may take to be loaded, created and described.
    static constexpr std::chrono::milliseconds kLibraryTimeLimit{5000};

    // Looks for plugin-host beside the running program.
    PluginScanner();

    // The helper program; empty when there is none (the caller scans in process then).
    const QString &hostProgram() const { return m_host; }
    void setHostProgram(const QString &program) { m_host = program; }
    std::chrono::milliseconds timeLimit() const { return m_timeLimit; }
    void setTimeLimit(std::chrono::milliseconds limit) { m_timeLimit = limit; }

    // Every library of programFolder's Plugin folder, in name order. A row's
    // flag says whether the class is registered (its object is then made by ProgID).
    PluginScan scan(const QString &programFolder) const;
    PluginScan scanLibrary(const QString &path) const;

private:
    QString m_host;
    std::chrono::milliseconds m_timeLimit = kLibraryTimeLimit;
};

} // namespace jx
