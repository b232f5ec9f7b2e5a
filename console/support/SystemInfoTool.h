#pragma once

// The about window starts the system-information program named in the
// registry. This desktop has no such entry of its own, so the console looks
// for one of the well-known programs each time instead; it writes nothing, so
// a program removed or installed later is seen at the next look.

#include <QString>
#include <QStringList>

namespace jx {

// Registry key and value the about window reads the program from.
inline constexpr const char *kSystemInfoKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
inline constexpr const char *kSystemInfoValue = "PATH";

// Well-known system-information programs of Linux desktops, preferred first.
QStringList KnownSystemInfoPrograms();

// The program the registry names, or else the first of `candidates` found on
// `searchPath` (the PATH variable's folders when empty); "" when there is none.
// Writes nothing.
QString FindSystemInfoTool(const QStringList &candidates = KnownSystemInfoPrograms(), const QStringList &searchPath = {});

} // namespace jx
