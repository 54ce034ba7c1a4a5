#include "common/logging.h"

// Wide file names let the log live under any profile name, whatever the ANSI code page holds.
#define SPDLOG_WCHAR_FILENAMES

#include <windows.h>

#include <filesystem>

#include <spdlog/sinks/rotating_file_sink.h>
#include <spdlog/spdlog.h>

#include "common/text.h"

namespace {

constexpr size_t kMaxFileSize = 0x500000;
// spdlog keeps max_files rotated files beside the current one: 1 gives the current file and one
// rotated file.
constexpr size_t kRotatedFiles = 1;
constexpr char kPattern[] = "[%Y-%m-%d %T.%e %z] [PID:%P] [TID:%t] [%n] [%L] %v";

bool InstallLogger(const spdlog::filename_t& path, const std::string& logger_name) {
  try {
    spdlog::drop(logger_name);
    auto logger = spdlog::rotating_logger_mt(logger_name, path, kMaxFileSize, kRotatedFiles, false);
    logger->set_level(spdlog::level::info);
    logger->set_pattern(kPattern);
    spdlog::set_default_logger(logger);
    return true;
  } catch (const std::exception& e) {
    // Without a file log the program still runs; the console logger keeps taking lines.
    std::fprintf(stderr, "log set-up failed: %s\n", e.what());
    return false;
  }
}

}  // namespace

bool InitLogger(const std::string& file_path, const std::string& logger_name) {
  // A narrow path is read in the ANSI code page, as the ANSI file APIs would read it.
  return InitLogger(Utf8ToUtf16(file_path, CP_ACP), logger_name);
}

bool InitLogger(const std::wstring& file_path, const std::string& logger_name) {
  if (file_path.empty()) return false;
  return InstallLogger(file_path, logger_name);
}

LogStream::~LogStream() {
  try {
    // The text is the message itself, never a format string: "{}" is written as it stands.
    spdlog::logger* logger = spdlog::default_logger_raw();
    if (logger != nullptr) logger->log(static_cast<spdlog::level::level_enum>(level), "{}", stream.str());
  } catch (...) {
  }
}

std::wstring TempLogFilePath(const wchar_t* folder, const wchar_t* file, bool forward_slashes) {
  // The wide temporary path: the ANSI one turns a profile name outside the code page into '?'.
  wchar_t temp[MAX_PATH + 1] = {};
  DWORD n = GetTempPathW(MAX_PATH + 1, temp);
  if (n == 0 || n > MAX_PATH) return std::wstring();
  std::wstring dir = std::wstring(temp) + folder;
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(dir), ec);
  std::wstring path = dir + L"\\" + file;
  if (forward_slashes) {
    for (auto& c : path) {
      if (c == L'\\') c = L'/';
    }
  }
  return path;
}

void FlushLogOnEveryLine() {
  try {
    spdlog::logger* logger = spdlog::default_logger_raw();
    if (logger != nullptr) logger->flush_on(spdlog::level::info);
  } catch (...) {
  }
}

void FlushLogger() {
  try {
    spdlog::logger* logger = spdlog::default_logger_raw();
    if (logger != nullptr) logger->flush();
  } catch (...) {
  }
}

void ShutdownLogger() {
  try {
    spdlog::shutdown();
  } catch (...) {
  }
}
