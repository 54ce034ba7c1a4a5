#pragma once

#include <string>

// Where the running program lives. Both are empty when the path cannot be read whole (a truncated
// path would name some other file).

// The full path of the running program's file.
std::wstring ProgramPath();
// The folder of the running program, with a trailing back slash.
std::wstring ProgramFolder();
