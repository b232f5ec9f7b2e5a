#pragma once

#include <QString>

namespace jx {

// The system temporary folder without a trailing separator, or the folder
// set by setTempFolder (tests redirect it there).
QString tempFolder();
// An empty text returns to the system folder.
void setTempFolder(const QString &folder);

// Creates a new empty file prefix + hex number + ".tmp" in the temporary
// folder and returns its full path; "" when no file could be created.
// Every call creates a different file.
QString createTempFileName(const QString &prefix);

} // namespace jx
