#pragma once

#include <QImage>
#include <QString>

/// Writes an image as a GIF file (Qt has no GIF writer). Colours are reduced to
/// a palette of at most 256 entries.
bool writeGif(const QImage &image, const QString &fileName);
