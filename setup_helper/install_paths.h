#pragma once

#include <string>

// Paths inside the installation folder that the installer names in its ANSI code page.

// True when the installer gave a folder at all (not null, not empty).
bool IsInstallFolder(const char* folder);
// The folder as a wide path ending in a back slash; read in the ANSI code page.
std::wstring MakeInstallDirPath(const char* folder);
std::wstring MakeConfigIniPath(const std::wstring& install_dir);
std::wstring MakeMainExePath(const std::wstring& install_dir);
