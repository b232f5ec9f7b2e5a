#pragma once

#include <QByteArray>
#include <QString>

namespace jx {

// The system ANSI code page of the product is 936 (GBK). Characters that
// code page cannot hold become "?"; bytes that are not valid GBK decode as
// U+FFFD, one per bad byte, so nothing after them is lost.
QByteArray toAnsi(const QString &text);
QString fromAnsi(const QByteArray &bytes);

} // namespace jx
