#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

// A fresh folder under the temporary folder, removed with everything in it at the end of the scope.
class TempDir {
 public:
  explicit TempDir(const std::wstring& prefix = L"lumavex-test");
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::wstring& path() const { return path_; }
  std::wstring File(const std::wstring& name) const { return path_ + L"\\" + name; }

 private:
  std::wstring path_;
};

// The current directory set to path for the length of a scope, and the previous one restored after.
class ScopedCurrentDirectory {
 public:
  explicit ScopedCurrentDirectory(const std::wstring& path);
  ~ScopedCurrentDirectory();
  ScopedCurrentDirectory(const ScopedCurrentDirectory&) = delete;
  ScopedCurrentDirectory& operator=(const ScopedCurrentDirectory&) = delete;

 private:
  std::wstring old_;
};

// An environment variable of this process (and so of the programs it starts) set for the length of a
// scope, and put back as it was (or removed) after.
class ScopedEnvironmentVariable {
 public:
  ScopedEnvironmentVariable(const std::wstring& name, const std::wstring& value);
  ~ScopedEnvironmentVariable();
  ScopedEnvironmentVariable(const ScopedEnvironmentVariable&) = delete;
  ScopedEnvironmentVariable& operator=(const ScopedEnvironmentVariable&) = delete;

 private:
  std::wstring name_;
  std::wstring old_;
  bool had_old_ = false;
};

std::string ReadFileBytes(const std::wstring& path);
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
bool FileExists(const std::wstring& path);
std::vector<std::string> SplitLines(const std::string& text);

// The bytes of a resource of a module (null: this program, or one loaded as data); empty when it is
// missing.
std::string ResourceBytes(HMODULE module, const wchar_t* type, const wchar_t* name);

// Lower-case hex digits of raw bytes, and back.
std::string HexEncode(const std::string& bytes);
std::string HexDecode(const std::string& hex);

// Milliseconds of the steady clock since start.
int64_t MillisecondsSince(std::chrono::steady_clock::time_point start);

// Text in the ANSI code page, as an installer would pass it; false when the text does not survive it.
bool ToAnsi(const std::wstring& text, std::string* ansi);

// Runs a program to its end with its standard output read through a pipe. False when it could not
// start or did not end within timeout_ms (it is then killed).
struct ProcessResult {
  DWORD pid = 0;
  DWORD exit_code = 0;
  std::string output;
};
bool RunProcess(const std::wstring& command_line, DWORD timeout_ms, ProcessResult* result);

// The path of a deliverable under test: in the folder that LUMAVEX_SHIPPING_BIN names when it is set
// (the smoke run of the shipping files), else in the loopback build beside the tests.
std::wstring DeliverablePath(const std::wstring& file);

}  // namespace testing_support
