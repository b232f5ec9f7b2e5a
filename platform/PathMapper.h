#pragma once

#include "jx_platform_export.h"

#include <QString>

namespace jx {

// The product writes paths Windows-style. toLocalPath maps such a text onto
// the local file system: "\" and "/" both separate, a drive ("C:") or a
// leading separator means the root, and every component that does not exist
// in its exact letter case is matched without regard to case against the
// entries of its folder. The first component found in neither way and
// everything after it stay as written. Relative paths stay relative (to the
// current folder).
JX_PLATFORM_EXPORT QString toLocalPath(const QString &winPath);

// True when the mapped path names an existing file (not a folder).
JX_PLATFORM_EXPORT bool fileExists(const QString &winPath);
// True when the mapped path names an existing folder.
JX_PLATFORM_EXPORT bool dirExists(const QString &winPath);

} // namespace jx
