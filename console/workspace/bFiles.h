#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

namespace jx {

// A new empty temporary file with the prefix; its full path, or "" when none
// could be created.
QString GetTempFileName(const QString &prefix);
// Writes the bytes of a binary field to the file, replacing it only when
// `overwrite` is true. False when nothing was written (the file then stays
// as it was).
bool SaveFieldToFile(const QString &filePath, const QVariant &field, bool overwrite);
// The file-name part of a Windows-style path, without the extension when asked.
QString FileNameFromPath(const QString &path, bool stripExtension);

} // namespace jx
