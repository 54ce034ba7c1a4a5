#include "setup_helper/install_paths.h"

#include <windows.h>

#include "common/text.h"

bool IsInstallFolder(const char* folder) { return folder != nullptr && *folder != '\0'; }

std::wstring MakeInstallDirPath(const char* folder) {
  std::wstring path = Utf8ToUtf16(folder, CP_ACP);
  if (!path.empty() && path.back() != L'\\' && path.back() != L'/') path += L'\\';
  return path;
}

std::wstring MakeConfigIniPath(const std::wstring& install_dir) { return install_dir + L"config.ini"; }

std::wstring MakeMainExePath(const std::wstring& install_dir) { return install_dir + L"Lumavex.exe"; }
