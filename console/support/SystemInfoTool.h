#pragma once

// The about window starts the system-information program named in the
// registry. This desktop has no such entry of its own, so the console names
// one of the well-known programs it finds, once, where none is named yet.

#include <QString>
#include <QStringList>

namespace jx {

// Registry key and value the about window reads the program from.
inline constexpr const char *kSystemInfoKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
inline constexpr const char *kSystemInfoValue = "PATH";

// Well-known system-information programs of Linux desktops, preferred first.
QStringList KnownSystemInfoPrograms();

// When the registry names no program yet, names the first of `candidates`
// found on `searchPath` (the PATH variable's folders when empty). Returns the
// program now named, or "" when there is none; an existing entry is kept.
QString RegisterSystemInfoTool(const QStringList &candidates = KnownSystemInfoPrograms(),
                               const QStringList &searchPath = {});

} // namespace jx
