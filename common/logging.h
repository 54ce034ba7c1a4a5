#pragma once

#include <sstream>
#include <string>

// Log set-up and the log statement object. spdlog stays inside logging.cpp: this header is included
// almost everywhere and must stay cheap to compile.

// Creates the rotating file logger (5 MiB, the current file plus one rotated file, appended to on
// open, level info, the product's line pattern) and makes it the default logger. Never throws: when
// the file cannot be opened the process goes on without a file log. Returns whether the file log is
// in place.
bool InitLogger(const std::string& file_path, const std::string& logger_name);

// Wide-path form for paths outside the ANSI code page (a user profile named "Zoë" or "用户").
bool InitLogger(const std::wstring& file_path, const std::string& logger_name);

// One log line: text is streamed in and handed to the default logger, at the statement's level,
// when the object is destroyed.
class LogStream {
 public:
  enum Level { kDebug = 1, kInfo = 2, kWarning = 3, kError = 4 };

  explicit LogStream(int level) : level(level) {}
  ~LogStream();
  LogStream(const LogStream&) = delete;
  LogStream& operator=(const LogStream&) = delete;

  template <typename T>
  LogStream& operator<<(const T& value) {
    stream << value;
    return *this;
  }

  std::ostringstream stream;
  int level;
};

#define LOG_INFO LogStream(LogStream::kInfo)
#define LOG_WARN LogStream(LogStream::kWarning)
#define LOG_ERROR LogStream(LogStream::kError)

// Where each deliverable keeps its log: "<temporary folder><folder>\<file>", the folder created when
// missing. The tray program asks for forward slashes.
std::wstring TempLogFilePath(const wchar_t* folder, const wchar_t* file, bool forward_slashes = false);

// Writes out what the default logger holds in its buffer.
void FlushLogger();

// Makes the default logger write out every line as it is logged: for a long-running process with few
// lines, whose log is read while it runs and must not lose its last lines if it is ended.
void FlushLogOnEveryLine();

// Flushes and drops every logger; used on the way out and by tests that reopen a log.
void ShutdownLogger();
