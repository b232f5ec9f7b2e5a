#pragma once

#include "jx_platform_export.h"

#include <QString>

namespace jx {

// The system temporary folder without a trailing separator, or the folder
// set by setTempFolder (tests redirect it there).
JX_PLATFORM_EXPORT QString tempFolder();
// An empty text returns to the system folder.
JX_PLATFORM_EXPORT void setTempFolder(const QString &folder);

// Creates a new empty file prefix + hex number + ".tmp" in the temporary
// folder and returns its full path; "" when no file could be created.
// Every call creates a different file.
JX_PLATFORM_EXPORT QString createTempFileName(const QString &prefix);

} // namespace jx
