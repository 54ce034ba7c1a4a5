#pragma once

#include <windows.h>

#include <string>

// The handle of the service library itself, remembered by DllMain; registration needs the library's
// path and the start-up its file version.
HINSTANCE ServiceModule();
void SetServiceModule(HINSTANCE module);

// GetModuleFileNameW of the service library; "" when it cannot be read.
std::wstring ServiceModulePath();

// The file version of the service library as UTF-8 "a.b.c.d"; "" when it cannot be read.
std::string GetModuleVersion();
