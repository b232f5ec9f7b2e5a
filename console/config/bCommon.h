#pragma once

#include <QDate>
#include <QString>

class QWidget;

namespace jx {

// The program folder the path functions anchor relative paths to. Defaults to
// the executable's folder; tests point it elsewhere.
QString AppPath();
void SetAppPath(const QString &folder);

// Lower-cases and trims a path, replaces "%app.path%", "%year%" and
// "%shortyear%", and anchors a relative result to the program folder unless
// noAnchor is set. A blank path gives "".
QString ExpandPath(const QString &path, bool noAnchor, const QDate &today = QDate::currentDate());

// Anchors a relative path to the program folder; keeps the letter case.
QString FullPath(const QString &path);

// Creates every folder along a "\"-separated path; true when it now exists.
bool MakeFolders(QString &path);

// True for a path the expansion must not anchor: a drive or UNC form, or an
// absolute local path (this platform has no drive letters).
bool IsAnchoredPath(const QString &path);

// Replaces the placeholders of an already case-folded path and, unless
// `noAnchor`, anchors a relative result on the program folder.
QString SubstitutePlaceholders(QString text, bool noAnchor, const QDate &today = QDate::currentDate());

// Turns a product path text ("\" separators, possibly doubled) into a local path.
QString LocalPath(const QString &path);

// Makes a top-level window translucent by percent (above 100 acts as 100).
bool SetWindowOpacity(QWidget *window, int percent);

} // namespace jx
