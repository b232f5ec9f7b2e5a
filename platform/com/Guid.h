#pragma once

#include "platform/com/ComTypes.h"

#include <QString>

#include <optional>

namespace com {

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper case.
QVCOM_EXPORT QString guidToString(const GUID &guid);
// Accepts the braced form, with or without braces, in any letter case.
QVCOM_EXPORT std::optional<GUID> guidFromString(const QString &text);
// For identifiers fixed at compile time; an invalid text gives GUID_NULL.
QVCOM_EXPORT GUID guid(const char *text);

} // namespace com
