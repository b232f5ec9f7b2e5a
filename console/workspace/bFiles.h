#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

namespace jx {

// A new empty temporary file with the prefix; its full path, or "" when none
// could be created.
QString GetTempFileName(const QString &prefix);
// Writes a field's stored bytes to the file (a local path), replacing it
// only when `overwrite` is true: a binary field byte for byte, a text field
// as the bytes it was read from. False when nothing was written (a Null
// field, an existing file without overwrite, a failed write); the file then
// stays as it was.
bool SaveFieldToFile(const QString &filePath, const QVariant &field, bool overwrite);
// The file-name part of a Windows-style path, without the extension when asked.
QString FileNameFromPath(const QString &path, bool stripExtension);

} // namespace jx
