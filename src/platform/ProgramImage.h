#pragma once

#include <QString>

// What the running program was started from. A program file without exec bit (on a disc that
// gives its files none) can still be run by the dynamic loader it was linked for, as
// "<loader> <program file>"; the system then names the loader as the running program, while
// these name the program file itself.
namespace ProgramImage {

// The running program's file, a full path with links resolved. Started through the dynamic
// loader, the file the loader was given.
QString File();

// The dynamic loader the running program was linked for ("/lib64/ld-linux-x86-64.so.2" on
// x86-64): it starts a program of the same kind from a file without exec bit. Empty for a
// program linked statically.
QString Loader();

// True when the running program was started through its dynamic loader rather than by itself.
bool StartedThroughLoader();

} // namespace ProgramImage
