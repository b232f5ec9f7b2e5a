#pragma once

// The lines `plugin-host --scan` prints and the plug-in manager reads, one per
// plug-in class or rejected library (the format is described in
// ARCHITECTURE.md). Both sides use these functions, so they cannot drift.

#include "console/plugins/modCreateObj.h"

#include <QByteArray>

namespace jx {

QByteArray EncodeScanRow(const PluginRow &row);
QByteArray EncodeScanRejection(const PluginRejection &rejection);

// Adds what one line says to `scan`; false (nothing added) for a line that
// is not a scan line, such as a plug-in's own output.
bool DecodeScanLine(const QByteArray &line, PluginScan &scan);

} // namespace jx
