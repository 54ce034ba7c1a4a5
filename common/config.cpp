#include "common/config.h"

#include <windows.h>

#include <cstdio>

#include "common/logging.h"
#include "common/logon_task.h"
#include "common/program_path.h"
#include "common/text.h"

namespace {

const wchar_t kSection[] = L"Setting";
const wchar_t kFileName[] = L"config.ini";

constexpr int kDefaultScaleFactor = 3;
// What the settings window offers, and so the one range that is stored and loaded.
constexpr int kMinScaleFactor = 2;
constexpr int kMaxScaleFactor = 5;

}  // namespace

Config& Config::GetInstance() {
  static Config* instance = new Config();  // outlives every user, including late ones at exit
  return *instance;
}

void Config::Load() { Load(ProgramFolder()); }

void Config::Load(const std::wstring& folder) {
  ini_path.clear();
  if (!folder.empty()) {
    ini_path = folder;
    if (ini_path.back() != L'\\' && ini_path.back() != L'/') ini_path += L'\\';
    ini_path += kFileName;
  }
  // Without a folder there is no file: its defaults apply. (An empty path would make the profile
  // functions read a file of that name in the Windows folder.)
  auto read = [this](const wchar_t* key, int fallback) -> UINT {
    if (ini_path.empty()) return static_cast<UINT>(fallback);
    return GetPrivateProfileIntW(kSection, key, fallback, ini_path.c_str());
  };
  const UINT shake = read(L"EnableShake", 1);
  const UINT auto_start = read(L"AutoRun", 0);
  const UINT game = read(L"GameModeEnable", 1);
  const UINT scale = read(L"ScaleFactor", kDefaultScaleFactor);

  enable_shake = shake != 0;
  auto_run = auto_start != 0;
  game_mode = game != 0;
  // Unsigned on purpose: a negative number in the file is out of range too.
  scale_factor = (scale >= kMinScaleFactor && scale <= kMaxScaleFactor) ? static_cast<int32_t>(scale)
                                                                        : kDefaultScaleFactor;

  if (auto_run && !LogonTaskExists()) CreateLogonTask(std::wstring());
}

void Config::SetEnableShake(bool enable) {
  enable_shake = enable;
  WriteValue(L"EnableShake", enable ? 1 : 0);
}

void Config::SetAutoRun(bool enable) {
  auto_run = enable;
  WriteValue(L"AutoRun", enable ? 1 : 0);
}

void Config::SetGameModeEnable(bool enable) {
  game_mode = enable;
  WriteValue(L"GameModeEnable", enable ? 1 : 0);
}

void Config::SetScaleFactor(int32_t factor) {
  // A value the next start would not load is not stored either.
  scale_factor = (factor >= kMinScaleFactor && factor <= kMaxScaleFactor) ? factor : kDefaultScaleFactor;
  WriteValue(L"ScaleFactor", scale_factor);
}

void Config::WriteValue(const wchar_t* key, int value) const {
  if (ini_path.empty()) return;
  wchar_t text[32] = {};
  _snwprintf(text, 31, L"%d", value);
  if (!WritePrivateProfileStringW(kSection, key, text, ini_path.c_str())) {
    // The value stays in memory for this run only: the user must be able to find out why it is lost.
    LOG_ERROR << "write config.ini " << Utf16ToUtf8(key) << " failed: " << GetLastError();
  }
}
