#pragma once

#include <cstdint>
#include <string>

// The tray program's settings, kept in "config.ini" beside the program, section "Setting". One
// process-wide object, created on first use and never freed; every user is on the UI thread, so
// nothing is locked. The installer helper writes the "AutoRun" key of the same file itself.
class Config {
 public:
  static Config& GetInstance();

  Config() = default;
  Config(const Config&) = delete;
  Config& operator=(const Config&) = delete;

  // Reads the four settings from config.ini in the program's folder, or in `folder`, with the file's
  // defaults for anything missing; never creates the file. When auto run is on and the logon task
  // is missing, registers the task for this program again.
  void Load();
  void Load(const std::wstring& folder);

  // Each stores the value and writes its key at once. A failed write is logged and keeps the value in
  // memory only.
  void SetEnableShake(bool enable);
  void SetAutoRun(bool enable);
  void SetGameModeEnable(bool enable);
  // Values outside 2..5, the range that loading keeps, become 3.
  void SetScaleFactor(int32_t factor);

  bool enable_shake = true;
  bool auto_run = true;
  bool game_mode = false;
  int32_t scale_factor = 3;
  // Milliseconds without a shake before the cursors come back; not a user setting.
  int32_t restore_delay = 200;
  std::wstring ini_path;

 private:
  void WriteValue(const wchar_t* key, int value) const;
};
