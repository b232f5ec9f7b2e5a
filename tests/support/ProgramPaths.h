#pragma once

#include <QString>

// Where a test or benchmark program finds what it needs at run time: the demo
// folders and the other programs and libraries of the build, by the names its
// CMakeLists.txt gives them (jx_program_paths). The paths live in one
// generated source of the program, not on every compile line, so a checkout
// at another place compiles the same and reuses the compiler cache.
// A name the program was not given ends it with a message.
QString programPath(const char *name);
