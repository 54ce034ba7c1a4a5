#include "tests/support/test_support.h"

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/base/scoped_handle.h"

namespace testing_support {

TempDir::TempDir(const std::wstring& prefix) {
  wchar_t temp[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH + 1, temp);
  static LONG counter = 0;
  path_ = std::wstring(temp) + prefix + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
          std::to_wstring(InterlockedIncrement(&counter));
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
  std::filesystem::create_directories(path_, ec);
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

ScopedCurrentDirectory::ScopedCurrentDirectory(const std::wstring& path) {
  wchar_t old[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, old);
  old_ = old;
  SetCurrentDirectoryW(path.c_str());
}

ScopedCurrentDirectory::~ScopedCurrentDirectory() { SetCurrentDirectoryW(old_.c_str()); }

ScopedEnvironmentVariable::ScopedEnvironmentVariable(const std::wstring& name, const std::wstring& value)
    : name_(name) {
  const DWORD size = GetEnvironmentVariableW(name.c_str(), nullptr, 0);
  if (size > 0) {
    std::wstring old(size, L'\0');
    const DWORD length = GetEnvironmentVariableW(name.c_str(), &old[0], size);
    if (length < size) {
      old.resize(length);
      old_ = old;
      had_old_ = true;
    }
  }
  SetEnvironmentVariableW(name.c_str(), value.c_str());
}

ScopedEnvironmentVariable::~ScopedEnvironmentVariable() {
  SetEnvironmentVariableW(name_.c_str(), had_old_ ? old_.c_str() : nullptr);
}

std::string ReadFileBytes(const std::wstring& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  std::istringstream in(text);
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

std::string ResourceBytes(HMODULE module, const wchar_t* type, const wchar_t* name) {
  HRSRC found = FindResourceW(module, name, type);
  if (found == nullptr) return std::string();
  HGLOBAL loaded = LoadResource(module, found);
  const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
  return bytes != nullptr ? std::string(static_cast<const char*>(bytes), SizeofResource(module, found))
                          : std::string();
}

std::string HexEncode(const std::string& bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (unsigned char c : bytes) {
    hex += kDigits[c >> 4];
    hex += kDigits[c & 0xF];
  }
  return hex;
}

std::string HexDecode(const std::string& hex) {
  std::string bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  return bytes;
}

int64_t MillisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
}

bool ToAnsi(const std::wstring& text, std::string* ansi) {
  BOOL lossy = FALSE;
  const int size = WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, &lossy);
  if (size <= 0 || lossy) return text.empty();
  ansi->assign(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), &(*ansi)[0], size, nullptr, &lossy);
  return !lossy;
}

bool RunProcess(const std::wstring& command_line, DWORD timeout_ms, ProcessResult* result) {
  SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
  HANDLE read_handle = nullptr, write_handle = nullptr;
  if (!CreatePipe(&read_handle, &write_handle, &inherit, 0)) return false;
  const ScopedHandle read_end(read_handle);
  ScopedHandle write_end(write_handle);
  SetHandleInformation(read_end.get(), HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = write_end.get();
  startup.hStdError = write_end.get();
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION process = {};
  std::wstring mutable_line = command_line;
  const BOOL started = CreateProcessW(nullptr, &mutable_line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                      &startup, &process);
  write_end.reset();
  if (!started) return false;
  const ScopedHandle process_handle(process.hProcess), thread_handle(process.hThread);
  result->pid = process.dwProcessId;
  result->output.clear();
  // The pipe is emptied while the child runs, so a chatty child never blocks on a full pipe, and once
  // more after it ended. Reading until the pipe reports its end instead would wait for whatever the
  // child started: Wine's desktop process, for one, is started by the first program that needs it and
  // keeps that program's standard handles for the rest of the session.
  auto drain = [&] {
    DWORD available = 0;
    while (PeekNamedPipe(read_end.get(), nullptr, 0, nullptr, &available, nullptr) && available > 0) {
      char buffer[4096];
      DWORD got = 0;
      const DWORD want = available < sizeof(buffer) ? available : static_cast<DWORD>(sizeof(buffer));
      if (!ReadFile(read_end.get(), buffer, want, &got, nullptr) || got == 0) return;
      result->output.append(buffer, got);
    }
  };
  const ULONGLONG deadline = GetTickCount64() + timeout_ms;
  bool ended = false;
  for (;;) {
    drain();
    if (WaitForSingleObject(process.hProcess, 10) == WAIT_OBJECT_0) {
      ended = true;
      break;
    }
    if (GetTickCount64() >= deadline) break;
  }
  if (!ended) {
    TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, 5000);
  }
  drain();
  GetExitCodeProcess(process.hProcess, &result->exit_code);
  return ended;
}

std::wstring DeliverablePath(const std::wstring& file) {
  wchar_t folder[MAX_PATH] = {};
  const DWORD length = GetEnvironmentVariableW(L"LUMAVEX_SHIPPING_BIN", folder, MAX_PATH);
  std::wstring path(folder, length < MAX_PATH ? length : 0);
  if (path.empty()) {
    // The tests live in <build>/tests, the loopback deliverables in <build>/loopback.
    wchar_t program[MAX_PATH] = {};
    const DWORD program_length = GetModuleFileNameW(nullptr, program, MAX_PATH);
    path.assign(program, program_length < MAX_PATH ? program_length : 0);
    path = path.substr(0, path.find_last_of(L'\\') + 1) + L"..\\loopback";
  }
  if (path.back() != L'\\') path += L'\\';
  return path + file;
}

}  // namespace testing_support
