#pragma once

#include "jx_platform_export.h"

#include <QString>

#include <exception>

namespace jx {

// What a user is told of a caught exception: a run-time error's own
// description; any other exception's message, read as UTF-8 when it is valid
// UTF-8 and otherwise as the product's ANSI code page (GBK), the encoding of
// messages that come from the original's code.
JX_PLATFORM_EXPORT QString errorText(const std::exception &error);

// The same for the exception being handled; to be called only inside a catch
// block. Anything thrown that is no std::exception gives "".
JX_PLATFORM_EXPORT QString currentErrorText();

// For a handler that must not throw: writes where it happened and what it
// swallowed to the process log (standard error while no log is installed).
// To be called only inside a catch block; never throws.
JX_PLATFORM_EXPORT void logSwallowed(const QString &where) noexcept;

} // namespace jx
