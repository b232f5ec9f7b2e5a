#pragma once

#include "jx_platform_export.h"

#include <QString>

class QCoreApplication;

namespace jx {

// Puts Qt's own texts (standard dialog buttons, file and print dialogs, the
// context menu of text fields) into Chinese: loads qtbase_zh_CN, and qt_zh_CN
// where present, from folder (default: Qt's translations folder) and installs
// them on app, which owns them. False, with nothing installed, when
// qtbase_zh_CN is not there. Calling it again changes nothing.
JX_PLATFORM_EXPORT bool installQtTranslations(QCoreApplication &app, const QString &folder = QString());

} // namespace jx
