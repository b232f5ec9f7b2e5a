#pragma once

#include "jx_platform_export.h"

#include "platform/MessageBox.h"

#include <QString>

#include <functional>

namespace jx {

// Runs a command handler's work; when it throws, tells the user in one box:
// `prefix` followed by the error's text (see errorText), then returns false.
// Nothing leaves it, so it may wrap any button handler. `beforeBox` runs
// after a failure and before the box (to show what was done until then).
JX_PLATFORM_EXPORT bool runReporting(const QString &prefix, const std::function<void()> &work, int style = Exclamation,
                  const QString &title = QString(), const std::function<void()> &beforeBox = {});

} // namespace jx
