#pragma once

#include "jx_platform_export.h"

#include <QByteArray>
#include <QString>

namespace jx {

// The system ANSI code page of the product is 936 (GBK). Characters that
// code page cannot hold become "?"; bytes that are not valid GBK decode as
// U+FFFD, one per bad byte, so nothing after them is lost.
JX_PLATFORM_EXPORT QByteArray toAnsi(const QString &text);
JX_PLATFORM_EXPORT QString fromAnsi(const QByteArray &bytes);

} // namespace jx
